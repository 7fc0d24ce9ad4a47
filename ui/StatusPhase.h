// The phase texts of status pane 0: a long operation shows what it is doing,
// and the text that was there before comes back afterwards.
#pragma once

#include <optional>
#include <string>

inline constexpr const char* kPhaseBootcode = "Please Wait: Downloading bootcode ...";
inline constexpr const char* kPhaseFlash = "Please Wait: Flashing firmware ...";
inline constexpr const char* kPhaseChecksum = "Please Wait: Verifying Checksum ...";

class CStatusPhase {
public:
    // Phase 1, 2 or 3, or any other value to restore. Returns the text that
    // pane 0 shows next, or nothing when it stays as it is.
    std::optional<std::string> Apply(int phase, const std::string& current);
    bool HasSaved() const { return saved_.has_value(); }

private:
    std::optional<std::string> Show(const char* text, const std::string& current);

    // The text saved before a phase text replaced it. An empty pane text is
    // saved and restored like any other.
    std::optional<std::string> saved_;
};
