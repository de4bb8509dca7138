// Image writers: JPEG as libjpeg is asked to write it, standard 24-bit BMP,
// PNG, and failures that leave no half-written file.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include <QIODevice>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include "CliProcess.h"
#include "Drawing.h"
#include "ImageWriters.h"
#include "KelvErrors.h"
#include "RenderFixture.h"
#include "uMapLayout.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

// A small painted map, text included, to encode.
QImage SmallMap() {
    TestUniverse u;
    u.AddSector({.code = 1, .name = "Alpha Prime", .race = 1, .x = 0, .y = 0, .right = 0, .trading = 1});
    u.AddSector({.code = 2, .name = "Beta", .race = 7, .x = 1, .y = 0, .left = 0, .dock = 1});
    u.AddFab(100, "Rock Mill", 0, 2, "R");
    u.AddLink(1, 100);
    u.AddLink(2, 100);
    u.renderer.Mode = TMapMode::Full;
    PaintMap(u.renderer);
    return SavedPicture(u.renderer).copy(0, 0, 240, 120);
}

// The markers of a JPEG stream up to the start of the scan.
std::vector<uint8_t> Markers(const std::vector<uint8_t>& jpeg) {
    std::vector<uint8_t> out;
    size_t i = 2;   // after SOI
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
        const uint8_t marker = jpeg[i + 1];
        out.push_back(marker);
        if (marker == 0xDA) break;
        i += 2 + ((jpeg[i + 2] << 8) | jpeg[i + 3]);
    }
    return out;
}

struct Decoded {
    int width = 0, height = 0, components = 0;
    bool progressive = true;
    J_COLOR_SPACE space = JCS_UNKNOWN;
    std::vector<std::vector<uint16_t>> quant;   // natural order, per table
    std::vector<uint8_t> rgb;
};

Decoded Decode(const std::vector<uint8_t>& jpeg) {
    Decoded d;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    d.components = cinfo.num_components;
    d.progressive = cinfo.progressive_mode;
    d.space = cinfo.jpeg_color_space;
    for (int t = 0; t < NUM_QUANT_TBLS; ++t)
        if (cinfo.quant_tbl_ptrs[t]) d.quant.emplace_back(cinfo.quant_tbl_ptrs[t]->quantval, cinfo.quant_tbl_ptrs[t]->quantval + DCTSIZE2);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    d.width = static_cast<int>(cinfo.output_width);
    d.height = static_cast<int>(cinfo.output_height);
    d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = d.rgb.data() + static_cast<size_t>(cinfo.output_scanline) * d.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return d;
}

// The tables libjpeg itself makes for quality 90.
std::vector<std::vector<uint16_t>> Quality90Tables() {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    cinfo.in_color_space = JCS_RGB;
    cinfo.input_components = 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    std::vector<std::vector<uint16_t>> out;
    for (int t = 0; t < 2; ++t)
        out.emplace_back(cinfo.quant_tbl_ptrs[t]->quantval, cinfo.quant_tbl_ptrs[t]->quantval + DCTSIZE2);
    jpeg_destroy_compress(&cinfo);
    return out;
}

TEST(JpegWriter, BaselineQuality90ColourFileThatDecodesToThePicture) {
    RenderTempDir dir;
    const QImage picture = SmallMap();
    const std::string path = dir.File("map.jpg");
    SaveJpeg(picture, path);
    const std::vector<uint8_t> bytes = ReadAll(path);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    EXPECT_EQ(bytes, EncodeJpeg(picture));

    const std::vector<uint8_t> markers = Markers(bytes);
    EXPECT_NE(std::find(markers.begin(), markers.end(), 0xC0), markers.end());   // SOF0: baseline
    for (uint8_t sof : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA})
        EXPECT_EQ(std::find(markers.begin(), markers.end(), sof), markers.end()) << int(sof);

    const Decoded d = Decode(bytes);
    EXPECT_EQ(d.width, picture.width());
    EXPECT_EQ(d.height, picture.height());
    EXPECT_EQ(d.components, 3);
    EXPECT_EQ(d.space, JCS_YCbCr);
    EXPECT_FALSE(d.progressive);
    EXPECT_EQ(d.quant, Quality90Tables());

    double total = 0;
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x) {
            const QRgb want = picture.pixel(x, y);
            const uint8_t* got = &d.rgb[(static_cast<size_t>(y) * d.width + x) * 3];
            total += std::abs(got[0] - qRed(want)) + std::abs(got[1] - qGreen(want)) + std::abs(got[2] - qBlue(want));
        }
    // White text on saturated colours is the hardest case for 4:2:0 JPEG;
    // a swapped channel or a wrong row stride would be off by tens.
    EXPECT_LT(total / (3.0 * d.width * d.height), 4.0);
}

TEST(BmpWriter, StandardBottomUp24BitFileWithPaddedRows) {
    RenderTempDir dir;
    QImage picture(5, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) picture.setPixel(x, y, qRgb(x * 50, y * 100, 7));
    const std::string path = dir.File("map.bmp");
    SaveBmp(picture, path);
    const std::vector<uint8_t> b = ReadAll(path);
    const uint32_t rowSize = 16;   // 15 bytes padded to a multiple of 4
    ASSERT_EQ(b.size(), 54u + rowSize * 3);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 5u);
    EXPECT_EQ(Le32(b, 22), 3u);    // positive height: bottom-up
    EXPECT_EQ(Le16(b, 26), 1);
    EXPECT_EQ(Le16(b, 28), 24);
    EXPECT_EQ(Le32(b, 30), 0u);    // uncompressed
    EXPECT_EQ(Le32(b, 34), rowSize * 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const size_t at = 54 + (2 - y) * rowSize + x * 3;   // blue, green, red
            EXPECT_EQ(b[at], 7);
            EXPECT_EQ(b[at + 1], y * 100);
            EXPECT_EQ(b[at + 2], x * 50);
        }
    // Qt reads it back as the same picture.
    const QImage back(QString::fromStdString(path));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);
}

TEST(PngWriter, LosslessRoundTrip) {
    RenderTempDir dir;
    const QImage picture = SmallMap();
    const std::string path = dir.File("map.png");
    SaveImage(picture, path, TImageFormat::Png);
    const QImage back(QString::fromStdString(path));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
}

TEST(WriterFailures, ClearErrorsAndNoHalfWrittenFiles) {
    RenderTempDir dir;
    const QImage picture = SmallMap();
    const std::string missing = dir.File("no such folder/map.jpg");
    for (TImageFormat format : {TImageFormat::Jpeg, TImageFormat::Bmp, TImageFormat::Png}) {
        try {
            SaveImage(picture, missing, format);
            ADD_FAILURE() << "no error";
        } catch (const EInOutError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing + ": No such file or directory");
        }
    }
    // A folder in the way of the target: the file is written, then cannot
    // replace the folder; the temporary file goes away again.
    std::filesystem::create_directory(dir.File("taken.jpg"));
    EXPECT_THROW(SaveJpeg(picture, dir.File("taken.jpg")), EInOutError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.jpg")));
    // An empty picture is refused before anything is touched.
    std::ofstream(dir.File("old.bmp")) << "previous";
    EXPECT_THROW(SaveBmp(QImage(), dir.File("old.bmp")), EInOutError);
    EXPECT_EQ(ReadAll(dir.File("old.bmp")).size(), 8u);

    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);   // taken.jpg and old.bmp, no leftovers
}

TEST(WriterFailures, ReplacingAFileKeepsItsPermissions) {
    RenderTempDir dir;
    const std::string path = dir.File("map.jpg");
    std::ofstream(path) << "old";
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    SaveJpeg(SmallMap(), path);
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_GT(st.st_size, 100);
}

// ---------------------------------------------------------------- where outputs go

// Writes `bytes` to path through the writer every picture goes through.
void WriteText(const std::string& path, const std::string& bytes) {
    WriteOutputFile(path, [&](QIODevice& out, std::string&) {
        return out.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    });
}

using clitest::Slurp;

std::vector<std::string> Names(const RenderTempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OutputFiles, LinksAreFollowedAndStayLinks) {
    RenderTempDir dir;
    std::filesystem::create_directory(dir.File("sub"));
    std::ofstream(dir.File("sub/real.png")) << "old";
    std::filesystem::create_symlink("sub/real.png", dir.File("link.png"));
    std::filesystem::create_symlink("link.png", dir.File("chain.png"));
    std::filesystem::create_symlink("sub/new.png", dir.File("dangling.png"));
    WriteText(dir.File("chain.png"), "through two links");
    WriteText(dir.File("dangling.png"), "made at the target");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.png")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("chain.png")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("dangling.png")));
    EXPECT_EQ(Slurp(dir.File("sub/real.png")), "through two links");
    EXPECT_EQ(Slurp(dir.File("sub/new.png")), "made at the target");
}

TEST(OutputFiles, DevicesAndFifosAreWrittenInPlace) {
    struct stat before {}, after {};
    ASSERT_EQ(stat("/dev/null", &before), 0);
    SavePng(SmallMap(), "/dev/null");
    ASSERT_EQ(stat("/dev/null", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_rdev, before.st_rdev);

    RenderTempDir dir;
    const std::string fifo = dir.File("pipe.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = Slurp(fifo); });
    WriteText(fifo, "through the pipe");
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    struct stat st {};
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(OutputFiles, AFailedWriteKeepsTheOldFileLeavesNoTemporaryAndSaysWhy) {
    RenderTempDir dir;
    const std::string path = dir.File("map.png");
    std::ofstream(path) << "old";
    try {
        WriteOutputFile(path, [](QIODevice& out, std::string& why) {
            out.write("half", 4);
            why = "the encoder gave up";
            return false;
        });
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file " + path + ": the encoder gave up");
    }
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"map.png"});
    // A folder path through a plain file says why it cannot be made.
    try {
        SaveJpeg(SmallMap(), path + "/inside.jpg");
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + path + "/inside.jpg: Not a directory");
    }
}

TEST(OutputFiles, AReplacedFileKeepsItsOwnerAndModeWithoutSetUserId) {
    RenderTempDir dir;
    const std::string path = dir.File("map.png");
    std::ofstream(path) << "old";
    ASSERT_EQ(chmod(path.c_str(), 06754), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    WriteText(path, "new");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0754u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
    }
    // A new file gets what a plain create gives.
    const mode_t mask = umask(027);
    WriteText(dir.File("new.png"), "new");
    umask(mask);
    ASSERT_EQ(stat(dir.File("new.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// ---------------------------------------------------------------- pages

// The small map as a PNG and as its drawing.
struct PagedMap {
    TestUniverse u;
    QImage picture;
    PagedMap() {
        u.AddSector({.code = 1, .name = "Alpha", .race = 1, .x = 0, .y = 0, .right = 0, .trading = 1});
        u.AddSector({.code = 2, .name = "\xC1\xE5\xF2\xE0", .race = 7, .x = 1, .y = 0, .dock = 1});  // "Бета"
        u.AddFab(100, "Rock Mill", 0, 2, "R");
        u.AddLink(1, 100);
        u.AddLink(2, 100);
        u.renderer.Mode = TMapMode::Full;
        PaintMap(u.renderer);
        picture = SavedPicture(u.renderer).convertToFormat(QImage::Format_RGB32);
    }
};

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

TEST(PageWriters, ThePdfPageLooksLikeThePictureAndHoldsTheNamesAsText) {
    RenderTempDir dir;
    PagedMap map;
    const std::string pdf = dir.File("map.pdf");
    SavePdf(map.u.renderer.Drawing, pdf);
    ASSERT_EQ(std::system(("pdftoppm -r 96 -png -singlefile '" + pdf + "' '" + dir.File("page") + "'").c_str()), 0);
    const QImage page = QImage(QString::fromStdString(dir.File("page.png"))).convertToFormat(QImage::Format_RGB32);
    // The page is a whole number of points: at most a pixel more.
    ASSERT_EQ(page.width(), map.picture.width());
    ASSERT_GE(page.height(), map.picture.height());
    ASSERT_LE(page.height(), map.picture.height() + 1);
    // Fills land on the same pixels; the glyphs are shaded by another
    // rasteriser, so text is compared by the ink of each 6 x 6 block over
    // the two painted cells: text a few pixels off, missing or in another
    // size would differ far more.
    const int32_t rowHeight = map.u.renderer.MapHeight - 14 * (TitleBand() + 4);
    double inkDifference = 0;
    int blocks = 0;
    for (int by = 0; by + 6 <= rowHeight; by += 6)
        for (int bx = 0; bx + 6 <= 230; bx += 6, ++blocks) {
            int ink = 0;
            for (int y = by; y < by + 6; ++y)
                for (int x = bx; x < bx + 6; ++x) ink += qGray(map.picture.pixel(x, y)) - qGray(page.pixel(x, y));
            inkDifference += std::abs(ink) / 36.0;
        }
    EXPECT_LT(inkDifference / blocks, 4.0);   // 2 pixels off gives about 6
    int frames = 0, same = 0;
    for (int y = 0; y < rowHeight; ++y)
        for (int x = 0; x < 230; ++x)
            if (y < 2 || y >= rowHeight - 2 || x % 115 < 2 || x % 115 >= 113) {
                ++frames;
                same += page.pixel(x, y) == map.picture.pixel(x, y);
            }
    EXPECT_EQ(same, frames);

    const std::string text = Output("pdftotext '" + pdf + "' -");
    for (const char* name : {"Alpha", "Бета", "Rock Mill", "TR", "DK"})
        EXPECT_NE(text.find(name), std::string::npos) << name << " in " << text;
    // Every font embedded: the fifth column from the end of pdffonts' table.
    std::istringstream fonts(Output("pdffonts '" + pdf + "'"));
    int embedded = 0;
    for (std::string line; std::getline(fonts, line);) {
        std::istringstream words(line);
        const std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
        if (w.size() < 7 || w[0] == "name" || w[0].starts_with("---")) continue;
        EXPECT_EQ(w[w.size() - 5], "yes") << line;
        ++embedded;
    }
    EXPECT_GE(embedded, 2);
}

TEST(PageWriters, TheSvgHoldsTheNamesAsTextOnAPageOfTheMapsSize) {
    RenderTempDir dir;
    PagedMap map;
    SaveSvg(map.u.renderer.Drawing, dir.File("map.svg"));
    const std::string svg = Slurp(dir.File("map.svg"));
    EXPECT_NE(svg.find("viewBox=\"0 0 2300 " + std::to_string(map.picture.height()) + "\""), std::string::npos);
    for (const char* name : {">Alpha</text>", ">Бета</text>", ">Rock Mill</text>"})
        EXPECT_NE(svg.find(name), std::string::npos) << name;
    // Nothing painted, nothing written.
    EXPECT_THROW(SaveSvg(TDrawing(), dir.File("empty.svg")), EInOutError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("empty.svg")));
}

}  // namespace
