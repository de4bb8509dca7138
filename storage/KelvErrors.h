#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

// The error kinds of the program. Every failure that is not a status result
// is raised as one of these; each carries the text shown to the user, in
// UTF-8, and where it is known the file the error concerns and the line of a
// text file it arose on. The text is the error's own words ("File not
// found", "'4x' is not a valid integer value"); the file and line are context
// that a caller shows beside it.
class EKelvError : public std::runtime_error {
public:
    explicit EKelvError(const std::string& message) : std::runtime_error(message) {}
    // The same, naming the file it concerns.
    EKelvError(const std::string& message, const std::string& file) : std::runtime_error(message), file_(file) {}

    // The file the error concerns; "" when none is known.
    const std::string& File() const noexcept { return file_; }
    // The 1-based line of a text file; 0 when the error is not about a line.
    int64_t Line() const noexcept { return line_; }

    // What the user can do about it, e.g. the command that repairs a file;
    // "" when there is nothing to add.
    const std::string& Hint() const noexcept { return hint_; }

    // Names the file (and line) unless a file is named already: the code
    // nearest to the failure knows best which file it concerns.
    EKelvError& SetContext(const std::string& file, int64_t line = 0) {
        if (file_.empty()) {
            file_ = file;
            line_ = line;
        }
        return *this;
    }
    EKelvError& SetHint(const std::string& hint) {
        hint_ = hint;
        return *this;
    }

private:
    std::string file_;
    int64_t line_ = 0;
    std::string hint_;
};

// The error for a terminal: "FILE:LINE: text", "FILE: text", or the text
// alone when no file is named, followed by the hint on a line of its own
// when there is one. std::bad_alloc gives kNotEnoughMemoryText; any other
// exception its what().
std::string DescribeError(const std::exception& error);

// The words for running out of memory, wherever it happens.
inline constexpr const char* kNotEnoughMemoryText = "not enough memory";

// A failed file operation. Code is the operating system's error number, or
// 100 for a read that got fewer bytes than asked ("Read beyond end of file").
class EInOutError : public EKelvError {
public:
    EInOutError(int code, const std::string& message) : EKelvError(message), code_(code) {}
    // The same, naming the file it concerns.
    EInOutError(int code, const std::string& message, const std::string& file) : EInOutError(code, message) {
        SetContext(file);
    }
    int Code() const noexcept { return code_; }

    // The standard text for an operating system error number
    // (2 gives "File not found", 100 gives "Read beyond end of file").
    static std::string TextFor(int code);
    static EInOutError FromCode(int code) { return EInOutError(code, TextFor(code)); }
    static EInOutError FromCode(int code, const std::string& file) { return EInOutError(code, TextFor(code), file); }

private:
    int code_;
};

// "List index out of bounds (%d)": a field or record position that does not exist.
class EListError : public EKelvError {
public:
    explicit EListError(int index);
};

// "Invalid variant type conversion" / "Invalid variant operation".
class EVariantError : public EKelvError {
public:
    using EKelvError::EKelvError;
    static EVariantError TypeConversion();
    static EVariantError Operation();
};

// "'%s' is not a valid integer value".
class EConvertError : public EKelvError {
public:
    using EKelvError::EKelvError;
    static EConvertError NotAnInteger(const std::string& text);
};

// A record number to delete that does not exist ("Неправильный индекс!").
class ERangeError : public EKelvError {
public:
    using EKelvError::EKelvError;
};
