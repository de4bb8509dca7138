#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

// Writers of the map picture. Each writes to a temporary file beside the
// target and renames it over the target only when everything was written,
// so a failure never leaves a half-written file (an existing target is kept).
// Failures raise EInOutError: "Cannot create file <path>" when the file
// cannot be made, "Cannot write file <path>: <reason>" when writing fails.
// An empty picture raises EInOutError "Cannot write an empty picture".

// JPEG through libjpeg: 24-bit RGB, 3 components, quality 90, floating-point
// DCT, baseline, the library's defaults otherwise.
void SaveJpeg(const QImage& picture, const std::string& path);
// The same encoding into memory.
std::vector<uint8_t> EncodeJpeg(const QImage& picture);

// Standard uncompressed 24-bit BMP (BITMAPINFOHEADER, bottom-up rows).
void SaveBmp(const QImage& picture, const std::string& path);
// PNG through Qt.
void SavePng(const QImage& picture, const std::string& path);

enum class TImageFormat { Jpeg, Bmp, Png };
// Dispatches to the writer of the format.
void SaveImage(const QImage& picture, const std::string& path, TImageFormat format);
