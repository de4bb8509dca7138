// kelvmap-cli render, run as the built program.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <QImage>
#include <gtest/gtest.h>

#include "CliProcess.h"
#include "MapGeometry.h"
#include "RenderFixture.h"
#include "uMapLayout.h"

namespace {

using clitest::Quote;
using clitest::RunResult;

RunResult RunCli(const std::string& arguments, const RenderTempDir& scratch) {
    return clitest::RunCli(KELV_CLI, "render " + arguments, scratch.File("stdout.txt"), scratch.File("stderr.txt"));
}

// Ore in Windows-1251 is "Руда".
const std::string kOre = "\xD0\xF3\xE4\xE0";

void Populate(TestUniverse& u) {
    u.AddSector({.code = 1, .name = "Alpha", .race = 1, .x = 0, .y = 0, .right = 0, .trading = 1});
    u.AddSector({.code = 2, .name = "Beta Far Away", .race = 7, .x = 1, .y = 0, .left = 0, .dock = 1});
    u.AddSector({.code = 3, .name = "Gamma", .race = 3, .x = 4, .y = 2});
    u.AddResource(10, kOre);
    u.AddResource(11, "Energy");
    u.AddFab(100, "Alpha Station", 11, 1, "T");
    u.AddFab(101, "Rock Mill", 10, 2, "R");
    for (auto [s, f] : {std::pair{1, 100}, {1, 101}, {2, 101}, {3, 101}, {3, 101}}) u.AddLink(s, f);
    u.AddFabResource(100, 10);
    u.AddFabResource(101, 10);
}

QImage InProcess(TestUniverse& u, TMapMode mode, const std::string& name, bool stations) {
    u.renderer.Mode = mode;
    u.renderer.SelectedName = name;
    u.countStations = stations;
    PaintMap(u.renderer);
    return SavedPicture(u.renderer).convertToFormat(QImage::Format_RGB32);
}

TEST(CliRender, WritesTheMapTheWindowWouldShow) {
    TestUniverse u;
    Populate(u);
    RenderTempDir out;
    struct Case {
        std::string args;
        TMapMode mode;
        std::string name;
        bool stations;
    };
    const Case cases[] = {
        {"", TMapMode::Full, "", true},
        {"--mode product --name 'Руда'", TMapMode::Product, kOre, true},
        {"--mode resource --name 'Руда'", TMapMode::Resource, kOre, true},
        {"--no-stations --mode resource --name 'Руда'", TMapMode::Resource, kOre, false},
    };
    for (const Case& c : cases) {
        const std::string file = out.File("map.png");
        const RunResult r = RunCli(Quote(u.dir.Path()) + " " + Quote(file) + " " + c.args, out);
        ASSERT_EQ(r.exitCode, 0) << c.args << ": " << r.err;
        TestUniverse same;   // a fresh renderer, as the program has at start
        Populate(same);
        const QImage expected = InProcess(same, c.mode, c.name, c.stations);
        EXPECT_EQ(r.out, std::to_string(expected.width()) + "x" + std::to_string(expected.height()) + "\n");
        const QImage got(QString::fromStdString(file));
        EXPECT_EQ(got.convertToFormat(QImage::Format_RGB32), expected) << c.args;
    }
}

TEST(CliRender, FormatFollowsTheOptionElseTheExtension) {
    TestUniverse u;
    Populate(u);
    RenderTempDir out;
    auto head = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::string h(2, '\0');
        in.read(h.data(), 2);
        return h;
    };
    const std::string dir = Quote(u.dir.Path());
    ASSERT_EQ(RunCli(dir + " " + Quote(out.File("a.jpg")), out).exitCode, 0);
    EXPECT_EQ(head(out.File("a.jpg")), "\xFF\xD8");
    ASSERT_EQ(RunCli(dir + " " + Quote(out.File("b.BMP")), out).exitCode, 0);
    EXPECT_EQ(head(out.File("b.BMP")), "BM");
    ASSERT_EQ(RunCli(dir + " " + Quote(out.File("c.png")) + " --format jpeg", out).exitCode, 0);
    EXPECT_EQ(head(out.File("c.png")), "\xFF\xD8");
    const RunResult unknown = RunCli(dir + " " + Quote(out.File("d.gif")), out);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("--format"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out.File("d.gif")));
}

TEST(CliRender, MissingOrForeignTablesGiveAnErrorAndNoImage) {
    RenderTempDir out;
    {
        TestUniverse u;
        Populate(u);
        std::filesystem::remove(u.dir.File("FabsResources.dat"));
        const RunResult r = RunCli(Quote(u.dir.Path()) + " " + Quote(out.File("m.jpg")), out);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("FabsResources.dat"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("File not found"), std::string::npos) << r.err;
    }
    {
        TestUniverse u;
        std::ofstream(u.dir.File("Fabs.dat"), std::ios::trunc) << "not a table";
        const RunResult r = RunCli(Quote(u.dir.Path()) + " " + Quote(out.File("m.jpg")), out);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("Fabs.dat"), std::string::npos) << r.err;
    }
    {
        // A table file of another kind in the place of Sectors.dat.
        TestUniverse u;
        std::filesystem::copy_file(u.dir.File("Resources.dat"), u.dir.File("Sectors.dat"),
                                   std::filesystem::copy_options::overwrite_existing);
        const RunResult r = RunCli(Quote(u.dir.Path()) + " " + Quote(out.File("m.jpg")), out);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("Sectors.dat"), std::string::npos) << r.err;
    }
    {
        // A product no resource has: no map of zero counts, the names there are.
        TestUniverse u;
        Populate(u);
        const RunResult r = RunCli(Quote(u.dir.Path()) + " " + Quote(out.File("m.jpg")) + " --mode product --name Gold", out);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("no resource is named 'Gold'"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Руда"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out.File("m.jpg")));
}

TEST(CliRender, BadArgumentsAreRefusedWithUsage) {
    RenderTempDir out;
    for (const std::string& args : {std::string(""), std::string("onlydir"), std::string("d f.jpg --mode fancy"),
                                   std::string("d f.jpg --name"), std::string("d f.jpg --bogus"),
                                   std::string("d f.jpg --name '漢'")}) {
        const RunResult r = RunCli(args, out);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
    }
}

TEST(CliRender, StandardOutputPagesAndScaledPictures) {
    TestUniverse u;
    Populate(u);
    RenderTempDir out;
    const std::string dir = Quote(u.dir.Path()) + " ";
    // "-" is standard output, PNG unless told; the size goes to standard error.
    RunResult r = RunCli(dir + "-", out);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QImage piped = QImage::fromData(QByteArray::fromStdString(r.out), "PNG");
    ASSERT_EQ(piped.width(), kMapWidth);
    const int height = piped.height();
    EXPECT_EQ(r.err, "2300x" + std::to_string(height) + "\n");
    r = RunCli(dir + "- --format pdf", out);
    EXPECT_EQ(r.out.compare(0, 5, "%PDF-"), 0);
    ASSERT_EQ(RunCli(dir + Quote(out.File("map.svg")), out).exitCode, 0);
    EXPECT_NE(clitest::Slurp(out.File("map.svg")).find("<svg"), std::string::npos);

    ASSERT_EQ(RunCli(dir + Quote(out.File("half.png")) + " --scale 0.5", out).exitCode, 0);
    EXPECT_EQ(QImage(QString::fromStdString(out.File("half.png"))).size(), QSize(1150, (height + 1) / 2));
    r = RunCli(dir + Quote(out.File("box.jpg")) + " --size 800x800", out);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QSize box = QImage(QString::fromStdString(out.File("box.jpg"))).size();
    EXPECT_EQ(box.width(), 800);   // the map is wider than tall
    EXPECT_NEAR(box.height(), height * 800.0 / kMapWidth, 1.0);
    EXPECT_EQ(r.out, std::to_string(box.width()) + "x" + std::to_string(box.height()) + "\n");
}

TEST(CliRender, BadScalesAndSizesAreUsageErrors) {
    TestUniverse u;
    Populate(u);
    RenderTempDir out;
    const std::string target = Quote(u.dir.Path()) + " " + Quote(out.File("m.png")) + " ";
    for (const char* args : {"--scale 0", "--scale -1", "--scale 1e-9", "--scale half", "--scale nan", "--scale inf",
                              "--scale", "--size 800", "--size 0x10", "--size 10x", "--size 1x2x3",
                              "--size -5x5", "--scale 1 --size 9x9", "--scale 0.5 --format pdf"}) {
        const RunResult r = RunCli(target + args, out);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find("usage: kelvmap-cli render"), std::string::npos) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(out.File("m.png")));
}

TEST(CliRender, AMapTooTallForTheMemoryIsAnErrorAndNothingIsWritten) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
    // One sector of 4000 factories: a first row 40,000 pixels tall, a raster
    // of some 370 MB, with 300 MB of address space.
    TestUniverse u;
    std::string fabs, links;
    for (int i = 1; i <= 4000; ++i) {
        fabs += std::to_string(i) + "\tFab " + std::to_string(i) + "\t1\t1\tF\r\n";
        links += std::to_string(i) + "\t1\t" + std::to_string(i) + "\r\n";
    }
    u.dir.Write("sectors.txt", "1\tCrowded\t1\t0\t0\t92\t92\t92\t92\t0\t0\t0\t0\t0\r\n");
    u.dir.Write("resources.txt", "");
    u.dir.Write("fabs.txt", fabs);
    u.dir.Write("sector fabs.txt", links);
    u.dir.Write("fabs resources.txt", "");
    u.universe.LoadAll(u.dir.Path());
    RenderTempDir out;
    auto limited = [&](const std::string& data) {
        return clitest::RunCli("/bin/sh", "-c " + Quote("ulimit -v 300000; exec " + Quote(KELV_CLI) + " render " +
                                                        Quote(data) + " " + Quote(out.File("tall.png"))),
                               out.File("stdout.txt"), out.File("stderr.txt"));
    };
    const RunResult r = limited(u.dir.Path());
    const int32_t b = TitleBand();
    const int32_t height = 4000 * (FontHeight("Courier New", 8, false) - 2) + b + 4 + 14 * (b + 4);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "kelvmap-cli render: the map is " + std::to_string(height) +
                         " pixels tall; there is not enough memory to paint it\n");
    EXPECT_FALSE(std::filesystem::exists(out.File("tall.png")));
    // The same limit leaves room for an ordinary map.
    TestUniverse ordinary;
    Populate(ordinary);
    EXPECT_EQ(limited(ordinary.dir.Path()).exitCode, 0);
}

}  // namespace
