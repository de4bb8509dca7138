#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <QImage>

class QIODevice;
class TDrawing;

// Writers of the map picture. Every one writes through WriteOutputFile, so
// that an output never replaces what the user did not name:
//   - "-" is standard output, written directly;
//   - a symbolic link writes to the file it names (a dangling one creates
//     it) and stays a link;
//   - a device, FIFO or socket, or a path through /proc (/dev/stdout), is
//     written directly, never renamed over (the open of a FIFO waits for a
//     reader);
//   - a regular file, or a new one, is replaced atomically: a temporary
//     file beside it is written, synced and renamed over it only when
//     everything was written. It gets the replaced file's permissions
//     without set-user-ID and set-group-ID, and its owner and group where
//     the system allows it, or the permissions a new file gets.
// A failure leaves an existing file as it was and no temporary file, and
// raises EInOutError "Cannot create file PATH: REASON" when the file cannot
// be made, "Cannot write file PATH: REASON" when writing it fails (PATH as
// given). An empty picture raises EInOutError "Cannot write an empty
// picture" before anything is touched.

// Names standard output.
inline constexpr const char* kStandardOutput = "-";

// Writes path as above; `write` fills the device and returns false (with a
// reason in `why`, or the device's own error) when it failed.
void WriteOutputFile(const std::string& path, const std::function<bool(QIODevice& out, std::string& why)>& write);

// JPEG through libjpeg: 24-bit RGB, 3 components, quality 90, floating-point
// DCT, baseline, the library's defaults otherwise.
void SaveJpeg(const QImage& picture, const std::string& path);
// The same encoding into memory.
std::vector<uint8_t> EncodeJpeg(const QImage& picture);

// Standard uncompressed 24-bit BMP (BITMAPINFOHEADER, bottom-up rows).
void SaveBmp(const QImage& picture, const std::string& path);
// PNG through Qt.
void SavePng(const QImage& picture, const std::string& path);

// One page the size of the drawing (a pixel is 1/96 inch), its fills as
// rectangles and its texts as text in the fonts used, embedded.
void SavePdf(const TDrawing& drawing, const std::string& path);
// The same as an SVG image whose texts are <text> elements.
void SaveSvg(const TDrawing& drawing, const std::string& path);

enum class TImageFormat { Jpeg, Bmp, Png, Pdf, Svg };
// True for the pictures made of pixels (JPEG, BMP, PNG).
bool IsRasterFormat(TImageFormat format) noexcept;
// Dispatches to the writer of a raster format; PDF and SVG are written from
// the drawing, never from pixels, and raise std::invalid_argument here.
void SaveImage(const QImage& picture, const std::string& path, TImageFormat format);
// Dispatches to the writer of a page format (PDF, SVG); raster formats raise
// std::invalid_argument.
void SaveDrawing(const TDrawing& drawing, const std::string& path, TImageFormat format);
