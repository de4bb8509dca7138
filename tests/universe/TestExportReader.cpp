// The export reader against the line and column rules written out the plain
// way (whole lines, then TokenAt), on random exports read in small blocks.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExportReader.h"
#include "KelvErrors.h"
#include "MemoryFileSystem.h"
#include "Needs.h"
#include "ProgramFolders.h"
#include "UniverseTestSupport.h"
#include "uSectors.h"

namespace {

// The lines of an export: up to a line feed (a carriage return right before
// it belongs to the line end), the last one without; 0x1A at a line start ends.
std::vector<std::string> PlainLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size() && text[pos] != '\x1A') {
        size_t lf = text.find('\n', pos);
        std::string line = text.substr(pos, lf == std::string::npos ? std::string::npos : lf - pos);
        if (lf != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (lf == std::string::npos) break;
        pos = lf + 1;
    }
    return lines;
}

TEST(ExportReader, ReadsEveryLineAndColumnAsTheTextRulesSay) {
    std::mt19937 rng(11);
    const std::string alphabet = "ab1 \t\t\r\r\n\n\x1A";
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const size_t len = rng() % 120;
        for (size_t i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
        kelvtest::MemoryFileSystem fs;
        fs.Put("x.txt", text);
        TExportReader reader(fs, "x.txt", 16);
        for (const std::string& line : PlainLines(text)) {
            ASSERT_TRUE(reader.NextLine()) << "round " << round;
            for (int32_t column : {1, 3, 4}) {
                uint64_t length = 0;
                const std::string got(reader.Column(column, 2, length));
                const std::string want = TokenAt(line, column, '\t');
                EXPECT_EQ(length, want.size()) << "round " << round << " column " << column;
                EXPECT_EQ(got, want.substr(0, 2)) << "round " << round << " column " << column;
            }
        }
        EXPECT_FALSE(reader.NextLine()) << "round " << round;
    }
}

TEST(ExportReader, ErrorsQuoteTheColumnWhole) {
    TempDir dir;
    TFabsResources table;
    table.CreateDB(dir.File("FabsResources.dat"));
    // A carriage return as the file's last byte belongs to the last line; a
    // zero byte or an escape never cuts the message.
    const struct {
        std::string text;
        std::string message;
        int32_t kept;
    } cases[] = {
        {"1\t2\t3\n4\t5\t3\r", "'3\\r' is not a valid integer value", 1},
        {std::string("1\t2\t3\x00x\x1b", 8), "'3\\x00x\\x1b' is not a valid integer value", 0},
    };
    for (const auto& [text, message, kept] : cases) {
        try {
            table.LoadFromText(dir.Write("fabs resources.txt", text));
            ADD_FAILURE() << "imported";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), message);
            EXPECT_EQ(e.File(), dir.File("fabs resources.txt"));
        }
        EXPECT_EQ(table.RecordCount(), kept);
    }
}

TEST(ProgramFolders, PortableBesideTheProgramElseTheUsersDataFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.File("portable/Data"));
    std::filesystem::create_directories(dir.File("installed"));
    const TProgramFolders portable = LocateProgramFolders(dir.File("portable"));
    EXPECT_TRUE(portable.Portable);
    EXPECT_EQ(portable.DataDir, dir.File("portable/Data/"));
    setenv("XDG_DATA_HOME", dir.File("xdg").c_str(), 1);
    const TProgramFolders installed = LocateProgramFolders(dir.File("installed/"));
    EXPECT_FALSE(installed.Portable);
    EXPECT_EQ(installed.AppDir, dir.File("xdg/kelvmap/"));
    EXPECT_EQ(installed.DataDir, dir.File("xdg/kelvmap/Data/"));
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    setenv("HOME", dir.File("home").c_str(), 1);
    EXPECT_EQ(UserDataFolder(), dir.File("home/.local/share/kelvmap/"));
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
