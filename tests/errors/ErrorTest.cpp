#include "errors/Error.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>

#include "tests/errors/RecordingBoxes.h"

namespace {

using ErrorMaker = std::function<std::unique_ptr<CError>()>;

struct TextCase {
    const char* name;
    ErrorMaker make;
    int code;
    const char* text;
};

TEST(ErrorText, CodeAndTextOfEachKind)
{
    const TextCase cases[] = {
        {"gen 1 default", [] { return std::make_unique<CGenError>(1); }, 1,
         "Unable to allocate timer object"},
        {"gen 2 default", [] { return std::make_unique<CGenError>(2); }, 2,
         "Unable to allocate serial comm object"},
        {"gen 3 default", [] { return std::make_unique<CGenError>(3); }, 3,
         "General operation error occured"},
        {"gen 7 default", [] { return std::make_unique<CGenError>(7); }, 7,
         "No error message text was received"},
        {"gen 0 default", [] { return std::make_unique<CGenError>(0); }, 0,
         "No error message text was received"},
        {"gen -1 default", [] { return std::make_unique<CGenError>(-1); }, -1,
         "No error message text was received"},
        {"gen 3 own text",
         [] { return std::make_unique<CGenError>(3, "Unable to open communication port"); }, 3,
         "Unable to open communication port"},
        {"comm 1 default", [] { return std::make_unique<CCommError>(1); }, 1,
         "No error message was received"},
        {"sbep 3 default", [] { return std::make_unique<CSbepError>(3); }, 3,
         "No error message was received"},
        {"comm %d",
         [] {
             return std::make_unique<CCommError>(
                 2, "CWinSerial::Write: Timeout after sending out %d bytes", 3);
         },
         2, "CWinSerial::Write: Timeout after sending out 3 bytes"},
        {"sbep %u and %d",
         [] { return std::make_unique<CSbepError>(5, "got %u of %d", 4000000000u, -2); }, 5,
         "got 4000000000 of -2"},
        {"empty format", [] { return std::make_unique<CSbepError>(4, "%s", ""); }, 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto error = c.make();
        EXPECT_EQ(error->GetCode(), c.code);
        EXPECT_STREQ(error->GetText(), c.text);
    }
}

TEST(ErrorText, CopyTextCountsTheNul)
{
    const CGenError error(1);
    char buffer[kErrorTextMax + 1];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(error.CopyText(buffer), 32u);
    EXPECT_STREQ(buffer, "Unable to allocate timer object");
    EXPECT_EQ(buffer[32], 'x');  // nothing written past the NUL
}

TEST(ErrorText, LongExpansionsAreCutAt511)
{
    const std::size_t lengths[] = {510, 511, 512, 600, 5000};
    for (std::size_t length : lengths) {
        SCOPED_TRACE(length);
        std::string long_text(length, 'a');
        for (std::size_t i = 0; i < length; ++i) long_text[i] = static_cast<char>('a' + i % 26);
        const CCommError error(9, "%s", long_text.c_str());
        const std::size_t kept = std::min(length, kErrorTextMax);
        EXPECT_EQ(std::string(error.GetText()), long_text.substr(0, kept));

        char buffer[kErrorTextMax + 1];
        EXPECT_EQ(error.CopyText(buffer), kept + 1);
        EXPECT_EQ(std::strlen(buffer), kept);
    }
}

TEST(ErrorCopy, CopyHoldsItsOwnTextAndCode)
{
    auto original = std::make_unique<CSbepError>(4, "checksum %d", 17);
    const CSbepError copy(*original);
    original.reset();

    EXPECT_EQ(copy.GetCode(), 4);
    EXPECT_STREQ(copy.GetText(), "checksum 17");
    const char* begin = reinterpret_cast<const char*>(&copy);
    EXPECT_GE(copy.GetText(), begin);
    EXPECT_LT(copy.GetText(), begin + sizeof copy);
}

TEST(ErrorCopy, ThrownByValueCaughtAsCError)
{
    const struct {
        std::function<void()> raise;
        const std::type_info& type;
        int code;
        const char* text;
    } cases[] = {
        {[] { throw CGenError(3, "Timeout specified is too big"); }, typeid(CGenError), 3,
         "Timeout specified is too big"},
        {[] { throw CCommError(8, "echo %d", 1); }, typeid(CCommError), 8, "echo 1"},
        {[] { throw CSbepError(1); }, typeid(CSbepError), 1, "No error message was received"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type.name());
        try {
            c.raise();
            ADD_FAILURE() << "nothing raised";
        } catch (const CError& error) {
            EXPECT_EQ(typeid(error), c.type);
            EXPECT_EQ(error.GetCode(), c.code);
            EXPECT_STREQ(error.GetText(), c.text);
        }
    }
}

TEST(ErrorShow, ShowsInTheApplicationBoxAndReturnsTheAnswer)
{
    // CGenError asks for the exclamation icon itself; the other two ask for
    // none and get the application box's default, which is the same icon.
    const struct {
        const char* name;
        ErrorMaker make;
    } cases[] = {
        {"gen", [] { return std::make_unique<CGenError>(1); }},
        {"comm", [] { return std::make_unique<CCommError>(6, "overrun on COM%u", 2u); }},
        {"sbep", [] { return std::make_unique<CSbepError>(5); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CRecordingBoxes boxes(MbAnswer::Ok);
        CScopedMessageBoxes scope(&boxes);
        const auto error = c.make();

        EXPECT_EQ(error->ShowError(), 1);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].caption, "Professional Corvane");
        EXPECT_EQ(boxes.shown[0].text, error->GetText());
        EXPECT_EQ(boxes.shown[0].icon, MbIcon::Warning);
        EXPECT_EQ(boxes.shown[0].buttons, MbButtons::Ok);
    }
}

TEST(ErrorShow, WithoutPresenterAnswersOk)
{
    CScopedMessageBoxes none(nullptr);
    EXPECT_EQ(CSbepError(2).ShowError(), 1);
}

}  // namespace
