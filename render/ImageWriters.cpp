#include "ImageWriters.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <QBuffer>
#include <QByteArray>

#include <jpeglib.h>

#include "KelvErrors.h"

namespace {

// ---------------------------------------------------------------- files

// Creates a temporary file beside path, lets `write` fill it, and renames it
// over path. Any failure removes the temporary file and raises EInOutError;
// the target is then untouched. `write` returns false (with errno or a
// message in `why`) when it failed.
void WriteAtomically(const std::string& path, const std::function<bool(FILE*, std::string& why)>& write) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw EInOutError(errno, "Cannot create file " + path);

    // mkstemp makes the file private; give it the mode a plain create would,
    // or the mode of the file it replaces.
    struct stat existing {};
    mode_t mode;
    if (stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);

    FILE* file = fdopen(fd, "wb");
    if (!file) {
        const int code = errno;
        close(fd);
        unlink(temp.c_str());
        throw EInOutError(code, "Cannot create file " + path);
    }
    std::string why;
    bool ok = write(file, why);
    int code = errno;
    if (ok && (std::fflush(file) != 0 || std::ferror(file))) {
        ok = false;
        code = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        code = errno;
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        code = errno;
        unlink(temp.c_str());
        throw EInOutError(code, "Cannot create file " + path + ": " + std::strerror(code));
    }
    if (!ok) {
        unlink(temp.c_str());
        if (why.empty()) why = std::strerror(code ? code : EIO);
        throw EInOutError(code ? code : EIO, "Cannot write file " + path + ": " + why);
    }
}

bool WriteBytes(FILE* file, const void* data, size_t size) {
    return size == 0 || std::fwrite(data, 1, size, file) == size;
}

void CheckNotEmpty(const QImage& picture) {
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        throw EInOutError(EINVAL, "Cannot write an empty picture");
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
// Either `file` or the memory destination (`memBuffer`, `memSize`) is used.
// Returns false with the library's message on failure.
bool EncodeRgb(const QImage& rgb32, unsigned char* row, FILE* file, unsigned char** memBuffer,
               unsigned long* memSize, char* message) {
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
    if (file)
        jpeg_stdio_dest(&cinfo, file);
    else
        jpeg_mem_dest(&cinfo, memBuffer, memSize);

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

// ---------------------------------------------------------------- BMP

void PutLe16(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void PutLe32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const QImage& picture) {
    CheckNotEmpty(picture);
    const QImage rgb32 = ToRgb32(picture);
    std::vector<unsigned char> row(static_cast<size_t>(rgb32.width()) * 3);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX];
    const bool ok = EncodeRgb(rgb32, row.data(), nullptr, &buffer, &size, message);
    std::vector<uint8_t> out;
    if (ok && buffer) out.assign(buffer, buffer + size);
    std::free(buffer);
    if (!ok) throw EInOutError(EIO, std::string("JPEG encoding failed: ") + message);
    return out;
}

void SaveJpeg(const QImage& picture, const std::string& path) {
    CheckNotEmpty(picture);
    const QImage rgb32 = ToRgb32(picture);
    std::vector<unsigned char> row(static_cast<size_t>(rgb32.width()) * 3);
    WriteAtomically(path, [&](FILE* file, std::string& why) {
        char message[JMSG_LENGTH_MAX];
        if (EncodeRgb(rgb32, row.data(), file, nullptr, nullptr, message)) return true;
        why = message;
        return false;
    });
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

    WriteAtomically(path, [&](FILE* file, std::string&) {
        if (!WriteBytes(file, header, sizeof header)) return false;
        std::vector<unsigned char> row(rowSize, 0);
        for (uint32_t y = height; y-- > 0;) {
            const auto* src = reinterpret_cast<const QRgb*>(rgb32.constScanLine(static_cast<int>(y)));
            for (uint32_t x = 0; x < width; ++x) {   // stored blue, green, red
                row[x * 3] = static_cast<unsigned char>(qBlue(src[x]));
                row[x * 3 + 1] = static_cast<unsigned char>(qGreen(src[x]));
                row[x * 3 + 2] = static_cast<unsigned char>(qRed(src[x]));
            }
            if (!WriteBytes(file, row.data(), rowSize)) return false;
        }
        return true;
    });
}

void SavePng(const QImage& picture, const std::string& path) {
    CheckNotEmpty(picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG")) throw EInOutError(EIO, "Cannot write file " + path + ": PNG encoding failed");
    WriteAtomically(path, [&](FILE* file, std::string&) {
        return WriteBytes(file, bytes.constData(), static_cast<size_t>(bytes.size()));
    });
}

void SaveImage(const QImage& picture, const std::string& path, TImageFormat format) {
    switch (format) {
        case TImageFormat::Jpeg: SaveJpeg(picture, path); return;
        case TImageFormat::Bmp: SaveBmp(picture, path); return;
        case TImageFormat::Png: SavePng(picture, path); return;
    }
}
