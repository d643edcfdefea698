#include "text/TextFile.h"

#include <gtest/gtest.h>

namespace quillora {
namespace {

TEST(TextFile, DecodingDropsTheCrOfEveryCrLfPairOnly) {
    struct Case {
        std::string bytes;
        std::string text;
        LineEnding ending;
    };
    const Case cases[] = {
        {"", "", LineEnding::Lf},
        {"a\r\nb\r\n", "a\nb\n", LineEnding::CrLf},
        {"a\nb\r\n", "a\nb\n", LineEnding::Lf}, // the first newline decides
        {"a\rb\r\nc", "a\rb\nc", LineEnding::CrLf},
        {"\r\r\n\r", "\r\n\r", LineEnding::CrLf},
        {"no newline\r", "no newline\r", LineEnding::Lf},
        {std::string(100, 'x') + "\r\n" + std::string(100, 'y'),
         std::string(100, 'x') + "\n" + std::string(100, 'y'), LineEnding::CrLf},
    };
    for (const Case& c : cases) {
        DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
        EXPECT_EQ(decoded.lineEnding, c.ending) << c.bytes;
    }
}

TEST(TextFile, EncodingWritesTheLineEndsBack) {
    EXPECT_EQ(encodeText("a\nb\n", LineEnding::CrLf), "a\r\nb\r\n");
    EXPECT_EQ(encodeText("a\nb", LineEnding::Lf), "a\nb");
    const std::string crlf = "h 9\r\nline\r\n\r\nlast";
    EXPECT_EQ(encodeText(decodeText(crlf).text, LineEnding::CrLf), crlf);
}

// A line whose text ends in CR (from "\r\r\n") must not lose that CR when the
// file is written and read again, whichever line ends the file keeps.
TEST(TextFile, DecodedTextSurvivesEncodingAndDecodingAgain) {
    const std::string cases[] = {
        "h\nx\r\r\ny\n",
        "h\r\nx\r\r\ny\r\n",
        "h\n\r\r\n\r\n",
        "h\r\n\r\r\r\n",
        "h\nlast\r",
        "h\nx\r\r\r\n",
        // Lines this short outgrow the room the encoder first takes.
        "h\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"
        "\r\n\r\n",
    };
    for (const std::string& bytes : cases) {
        const DecodedText first = decodeText(bytes);
        const DecodedText second = decodeText(encodeText(first.text, first.lineEnding));
        EXPECT_EQ(second.text, first.text) << bytes;
        EXPECT_EQ(second.lineEnding, first.lineEnding) << bytes;
        // Handed over in two pieces, cut anywhere, it is encoded the same.
        const std::string whole = encodeText(first.text, first.lineEnding);
        const std::string_view text = first.text;
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            LineEndEncoder encoder(first.lineEnding);
            std::string pieces(encoder.encode(text.substr(0, cut)));
            pieces += encoder.encode(text.substr(cut));
            EXPECT_EQ(pieces, whole) << bytes << " cut at " << cut;
        }
    }
    EXPECT_EQ(encodeText("h\nx\r\ny\n", LineEnding::Lf), "h\nx\r\r\ny\n");
}

} // namespace
} // namespace quillora
