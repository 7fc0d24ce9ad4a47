// The port text of the Comm Setting dialog ("COMM1") and the port number it
// stands for.
#pragma once

#include <string>
#include <vector>

inline constexpr int kCommTextMax = 6;

// "COMM%d" of the port number.
std::string CommTextForPort(int portId);

// The port number of a confirmed text: the code of its fifth character minus
// the code of "0" ("COMM2" gives 2, "COMM12" gives 1, "COMMX" gives 40). A
// text of fewer than five characters names no port: `previous` is kept.
int PortIdFromCommText(const std::string& text, int previous);

// The first entry that begins with `text`, compared without regard to case,
// or -1: the entry that the combo box selects when the dialog opens.
int FindEntryWithPrefix(const std::vector<std::string>& entries, const std::string& text);
