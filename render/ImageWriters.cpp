#include "ImageWriters.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageWriter>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <jpeglib.h>

#include "Drawing.h"
#include "KelvErrors.h"

namespace {

// ---------------------------------------------------------------- files

using TWrite = std::function<bool(QIODevice& out, std::string& why)>;

[[noreturn]] void CannotCreate(const std::string& path, int code, const std::string& why) {
    throw EInOutError(code, "Cannot create file " + path + ": " + why);
}

[[noreturn]] void CannotWrite(const std::string& path, int code, const std::string& why) {
    throw EInOutError(code, "Cannot write file " + path + ": " + why);
}

std::string QtReason(const QFileDevice& file) {
    if (file.error() == QFileDevice::NoError) return std::strerror(EIO);
    const std::string why = file.errorString().toStdString();
    return why.empty() ? std::strerror(EIO) : why;
}

// What a path names once its symbolic links are followed.
struct TTarget {
    std::string Path;        // the file to write
    bool Direct = false;     // written in place: not a regular file
    bool Exists = false;
    struct stat Status {};
};

TTarget Resolve(const std::string& path) {
    namespace fs = std::filesystem;
    TTarget target{path};
    for (int links = 0;; ++links) {
        struct stat st {};
        if (lstat(target.Path.c_str(), &st) != 0) {
            // A new file, or the missing file a dangling link names.
            if (errno == ENOENT) return target;
            CannotCreate(path, errno, std::strerror(errno));
        }
        if (!S_ISLNK(st.st_mode)) {
            target.Exists = true;
            target.Status = st;
            target.Direct = !S_ISREG(st.st_mode);
            return target;
        }
        // The links in /proc (where /dev/stdout leads) name open files, not
        // paths: the system follows them when the path is opened as given.
        if (target.Path.rfind("/proc/", 0) == 0) return TTarget{path, true, true, st};
        if (links == 40) CannotCreate(path, ELOOP, std::strerror(ELOOP));
        std::error_code error;
        const fs::path next = fs::read_symlink(target.Path, error);
        if (error) CannotCreate(path, error.value(), error.message());
        target.Path = (fs::path(target.Path).parent_path() / next).string();
    }
}

// Why a write failed: the system's reason first (a full disk makes the
// encoder fail too), else the writer's own. A write that fails into the
// device's buffer leaves the system's reason behind; flushing what is left
// brings it out.
std::string FailureReason(QFileDevice& file, const std::string& why) {
    if (file.error() == QFileDevice::NoError) return why.empty() ? QtReason(file) : why;
    file.flush();
    return QtReason(file);
}

// Hands every write on to the file whole, or fails. A file's own write may
// write less than asked without an error (on a full disk), which writers
// that do not check (the SVG generator's text stream) would take for
// success; asked again, the file fails with the system's reason.
class TWholeWrites : public QIODevice {
public:
    explicit TWholeWrites(QFileDevice& file) : file_(file) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool Failed() const noexcept { return failed_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        for (qint64 done = 0; !failed_ && done < size;) {
            const qint64 written = file_.write(data + done, size - done);
            if (written <= 0) failed_ = true;
            done += written;
        }
        return failed_ ? -1 : size;
    }

private:
    QFileDevice& file_;
    bool failed_ = false;
};

// Runs `write` on the file; false with the reason when it, or any write of
// it, failed.
bool WriteWhole(QFileDevice& file, const TWrite& write, std::string& why) {
    TWholeWrites out(file);
    if (write(out, why) && !out.Failed() && file.error() == QFileDevice::NoError) return true;
    why = FailureReason(file, out.Failed() ? std::string() : why);
    return false;
}

// Devices, FIFOs and standard output are written where they are: there is
// nothing to replace, and renaming over them would turn them into files.
void WriteDirect(const std::string& shown, int fd, bool ownsFd, const TWrite& write) {
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        if (ownsFd) close(fd);
        CannotCreate(shown, EIO, QtReason(file));
    }
    std::string why;
    const bool ok = WriteWhole(file, write, why) && file.flush();
    if (!ok && why.empty()) why = QtReason(file);
    file.close();
    if (ownsFd && close(fd) != 0 && ok) CannotWrite(shown, errno, std::strerror(errno));
    if (!ok) CannotWrite(shown, EIO, why);
}

void WriteReplacing(const std::string& shown, const TTarget& target, const TWrite& write) {
    // A file the user may not write is not replaced behind its back.
    if (target.Exists && access(target.Path.c_str(), W_OK) != 0) CannotCreate(shown, errno, std::strerror(errno));
    // QSaveFile writes a temporary file beside the target (never visible
    // where the system allows it), gives it the target's permissions (which
    // leave out set-user-ID and set-group-ID) or a new file's, syncs it and
    // renames it over the target only at commit; a failure removes it.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(target.Path)));
    if (!file.open(QIODevice::WriteOnly)) CannotCreate(shown, EIO, QtReason(file));
    if (target.Exists) {
        // The replaced file's owner and group where the system allows it
        // (root may give any, others only a group of their own); else the
        // new file is the writer's.
        const int kept = fchown(file.handle(), target.Status.st_uid, target.Status.st_gid);
        (void)kept;
    }
    std::string why;
    if (!WriteWhole(file, write, why)) {
        file.cancelWriting();
        CannotWrite(shown, EIO, why);
    }
    if (!file.commit()) CannotWrite(shown, EIO, QtReason(file));
}

void CheckNotEmpty(const QImage& picture) {
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        throw EInOutError(EINVAL, "Cannot write an empty picture");
}

void CheckNotEmpty(const TDrawing& drawing) {
    if (drawing.IsEmpty()) throw EInOutError(EINVAL, "Cannot write an empty picture");
}

bool WriteBytes(QIODevice& out, const void* data, qint64 size) {
    return size == 0 || out.write(static_cast<const char*>(data), size) == size;
}

// ---------------------------------------------------------------- JPEG

struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

// libjpeg's output into a QIODevice, through a buffer of its own. A failed
// write is noted and the rest discarded, so the encoder runs to its end
// without leaving through longjmp from here.
struct JpegDeviceDestination {
    jpeg_destination_mgr pub;
    QIODevice* device;
    bool failed;
    JOCTET buffer[64 * 1024];
};

void JpegInitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegDeviceDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof dest->buffer;
}

void JpegFlush(JpegDeviceDestination* dest, size_t size) {
    if (!dest->failed && !WriteBytes(*dest->device, dest->buffer, static_cast<qint64>(size))) dest->failed = true;
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof dest->buffer;
}

boolean JpegEmptyOutputBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegDeviceDestination*>(cinfo->dest);
    JpegFlush(dest, sizeof dest->buffer);
    return TRUE;
}

void JpegTermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegDeviceDestination*>(cinfo->dest);
    JpegFlush(dest, sizeof dest->buffer - dest->pub.free_in_buffer);
}

// The picture as 32-bit pixels, converted only when it is in another format.
QImage ToRgb32(const QImage& picture) {
    const QImage::Format f = picture.format();
    return (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32) ? picture
                                                                       : picture.convertToFormat(QImage::Format_RGB32);
}

// One row of a 32-bit picture as 24-bit RGB.
void RowToRgb24(const QImage& rgb32, int y, unsigned char* out) {
    const auto* src = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y));
    for (int x = 0, w = rgb32.width(); x < w; ++x) {
        out[3 * x] = static_cast<unsigned char>(qRed(src[x]));
        out[3 * x + 1] = static_cast<unsigned char>(qGreen(src[x]));
        out[3 * x + 2] = static_cast<unsigned char>(qBlue(src[x]));
    }
}

// Encodes a 32-bit picture, each row converted to 24-bit RGB on its way in
// (a whole 24-bit copy of the map would cost more than the encoding's own
// work). Kept free of C++ objects with destructors, because a libjpeg error
// leaves through longjmp; `row` is a caller-owned buffer of 3 x width bytes.
// Returns false with the library's message on failure.
bool EncodeRgb(const QImage& rgb32, unsigned char* row, JpegDeviceDestination* dest, char* message) {
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.emit_message = JpegSilence;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        std::strncpy(message, err.message, JMSG_LENGTH_MAX);
        message[JMSG_LENGTH_MAX - 1] = '\0';
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest->pub.init_destination = JpegInitDestination;
    dest->pub.empty_output_buffer = JpegEmptyOutputBuffer;
    dest->pub.term_destination = JpegTermDestination;
    cinfo.dest = &dest->pub;

    cinfo.image_width = static_cast<JDIMENSION>(rgb32.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb32.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    cinfo.dct_method = JDCT_FLOAT;

    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        RowToRgb24(rgb32, static_cast<int>(cinfo.next_scanline), row);
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// The JPEG stream of a picture into a device; false with a reason when the
// encoder failed (a failed write is the device's to report).
bool WriteJpeg(const QImage& picture, QIODevice& out, std::string& why) {
    const QImage rgb32 = ToRgb32(picture);
    std::vector<unsigned char> row(static_cast<size_t>(rgb32.width()) * 3);
    auto dest = std::make_unique<JpegDeviceDestination>();
    dest->device = &out;
    dest->failed = false;
    char message[JMSG_LENGTH_MAX];
    if (!EncodeRgb(rgb32, row.data(), dest.get(), message)) {
        why = std::string("JPEG encoding failed: ") + message;
        return false;
    }
    return !dest->failed;
}

// ---------------------------------------------------------------- BMP

void PutLe16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// ---------------------------------------------------------------- pages

// A pixel of the map is 1/96 inch on a page, as on the screen it was laid
// out for.
constexpr int kPageDpi = 96;

}  // namespace

void WriteOutputFile(const std::string& path, const TWrite& write) {
    if (path == kStandardOutput) return WriteDirect(path, STDOUT_FILENO, false, write);
    const TTarget target = Resolve(path);
    if (!target.Direct) return WriteReplacing(path, target, write);
    const int fd = open(target.Path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) CannotCreate(path, errno, std::strerror(errno));
    WriteDirect(path, fd, true, write);
}

std::vector<uint8_t> EncodeJpeg(const QImage& picture) {
    CheckNotEmpty(picture);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    std::string why;
    if (!WriteJpeg(picture, buffer, why)) throw EInOutError(EIO, why);
    const QByteArray& bytes = buffer.data();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void SaveJpeg(const QImage& picture, const std::string& path) {
    CheckNotEmpty(picture);
    WriteOutputFile(path, [&](QIODevice& out, std::string& why) { return WriteJpeg(picture, out, why); });
}

void SaveBmp(const QImage& picture, const std::string& path) {
    CheckNotEmpty(picture);
    const QImage rgb32 = ToRgb32(picture);
    const uint32_t width = static_cast<uint32_t>(rgb32.width());
    const uint32_t height = static_cast<uint32_t>(rgb32.height());
    const uint32_t rowSize = (width * 3 + 3) & ~3u;
    const uint64_t imageSize = static_cast<uint64_t>(rowSize) * height;
    if (imageSize + 54 > 0xFFFFFFFFull) throw EInOutError(EFBIG, "Cannot write file " + path + ": picture too large for BMP");

    unsigned char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutLe32(header + 2, static_cast<uint32_t>(54 + imageSize));  // file size
    PutLe32(header + 10, 54);                                     // pixel data offset
    PutLe32(header + 14, 40);                                     // BITMAPINFOHEADER
    PutLe32(header + 18, width);
    PutLe32(header + 22, height);                                 // positive: bottom-up
    PutLe16(header + 26, 1);                                      // planes
    PutLe16(header + 28, 24);                                     // bits per pixel
    PutLe32(header + 30, 0);                                      // BI_RGB
    PutLe32(header + 34, static_cast<uint32_t>(imageSize));
    PutLe32(header + 38, 3780);                                   // 96 dpi
    PutLe32(header + 42, 3780);

    WriteOutputFile(path, [&](QIODevice& out, std::string&) {
        if (!WriteBytes(out, header, sizeof header)) return false;
        std::vector<unsigned char> row(rowSize, 0);
        for (uint32_t y = height; y-- > 0;) {
            const auto* src = reinterpret_cast<const QRgb*>(rgb32.constScanLine(static_cast<int>(y)));
            for (uint32_t x = 0; x < width; ++x) {   // stored blue, green, red
                row[x * 3] = static_cast<unsigned char>(qBlue(src[x]));
                row[x * 3 + 1] = static_cast<unsigned char>(qGreen(src[x]));
                row[x * 3 + 2] = static_cast<unsigned char>(qRed(src[x]));
            }
            if (!WriteBytes(out, row.data(), rowSize)) return false;
        }
        return true;
    });
}

void SavePng(const QImage& picture, const std::string& path) {
    CheckNotEmpty(picture);
    WriteOutputFile(path, [&](QIODevice& out, std::string& why) {
        QImageWriter writer(&out, "png");
        if (writer.write(picture)) return true;
        why = "PNG encoding failed: " + writer.errorString().toStdString();
        return false;
    });
}

namespace {

// Plays the drawing onto a page device; false with why when the device
// cannot be painted on.
bool PlayOnto(QPaintDevice& device, const TDrawing& drawing, const char* what, std::string& why) {
    QPainter painter;
    if (!painter.begin(&device)) {
        why = std::string(what) + " cannot be made";
        return false;
    }
    drawing.Play(painter);
    return painter.end();
}

}  // namespace

void SavePdf(const TDrawing& drawing, const std::string& path) {
    CheckNotEmpty(drawing);
    WriteOutputFile(path, [&](QIODevice& out, std::string& why) {
        QPdfWriter pdf(&out);
        pdf.setResolution(kPageDpi);
        pdf.setCreator(QStringLiteral("KelvMap"));
        pdf.setTitle(QStringLiteral("Kelv Map"));
        const QSizeF points(drawing.Width() * 72.0 / kPageDpi, drawing.Height() * 72.0 / kPageDpi);
        pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                      QPageLayout::Portrait, QMarginsF()));
        return PlayOnto(pdf, drawing, "the PDF page", why);
    });
}

void SaveSvg(const TDrawing& drawing, const std::string& path) {
    CheckNotEmpty(drawing);
    WriteOutputFile(path, [&](QIODevice& out, std::string& why) {
        QSvgGenerator svg;
        svg.setOutputDevice(&out);
        svg.setSize(QSize(drawing.Width(), drawing.Height()));
        svg.setViewBox(QRect(0, 0, drawing.Width(), drawing.Height()));
        svg.setResolution(kPageDpi);
        svg.setTitle(QStringLiteral("Kelv Map"));
        return PlayOnto(svg, drawing, "the SVG image", why);
    });
}

bool IsRasterFormat(TImageFormat format) noexcept {
    return format == TImageFormat::Jpeg || format == TImageFormat::Bmp || format == TImageFormat::Png;
}

void SaveImage(const QImage& picture, const std::string& path, TImageFormat format) {
    switch (format) {
        case TImageFormat::Jpeg: SaveJpeg(picture, path); return;
        case TImageFormat::Bmp: SaveBmp(picture, path); return;
        case TImageFormat::Png: SavePng(picture, path); return;
        case TImageFormat::Pdf:
        case TImageFormat::Svg: break;
    }
    throw std::invalid_argument("PDF and SVG pages are written from the map's drawing");
}

void SaveDrawing(const TDrawing& drawing, const std::string& path, TImageFormat format) {
    switch (format) {
        case TImageFormat::Pdf: SavePdf(drawing, path); return;
        case TImageFormat::Svg: SaveSvg(drawing, path); return;
        case TImageFormat::Jpeg:
        case TImageFormat::Bmp:
        case TImageFormat::Png: break;
    }
    throw std::invalid_argument("JPEG, BMP and PNG pictures are written from the map's pixels");
}
