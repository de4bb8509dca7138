#include "KelvErrors.h"

#include <cstring>
#include <new>

std::string EInOutError::TextFor(int code) {
    // The texts users know from the original runtime for the codes the engine
    // raises itself; anything else is the operating system's own wording.
    switch (code) {
    case 2:
        return "File not found";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk write error";
    case 103:
        return "File not open";
    default:
        break;
    }
    const char* text = std::strerror(code);
    return std::string("I/O error ") + std::to_string(code) + (text ? std::string(": ") + text : std::string());
}

EListError::EListError(int index)
    : EKelvError("List index out of bounds (" + std::to_string(index) + ")") {}

EVariantError EVariantError::TypeConversion() {
    return EVariantError("Invalid variant type conversion");
}

EVariantError EVariantError::Operation() {
    return EVariantError("Invalid variant operation");
}

EConvertError EConvertError::NotAnInteger(const std::string& text) {
    return EConvertError("'" + text + "' is not a valid integer value");
}

std::string DescribeError(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return kNotEnoughMemoryText;
    const auto* kelv = dynamic_cast<const EKelvError*>(&error);
    if (kelv == nullptr) return error.what();
    std::string out;
    if (!kelv->File().empty()) {
        out = kelv->File();
        if (kelv->Line() > 0) {
            out += ':';  // appended piecewise: GCC 12 -O3 warns falsely about "x" + std::string
            out += std::to_string(kelv->Line());
        }
        out += ": ";
    }
    out += error.what();
    if (!kelv->Hint().empty()) out += "\n" + kelv->Hint();
    return out;
}
