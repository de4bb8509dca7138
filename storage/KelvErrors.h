#pragma once

#include <stdexcept>
#include <string>

// The error kinds of the program. Every failure that is not a status result
// is raised as one of these; each carries the text shown to the user.
class EKelvError : public std::runtime_error {
public:
    explicit EKelvError(const std::string& message) : std::runtime_error(message) {}
};

// A failed file operation. Code is the operating system's error number, or
// 100 for a read that got fewer bytes than asked ("Read beyond end of file").
class EInOutError : public EKelvError {
public:
    EInOutError(int code, const std::string& message) : EKelvError(message), code_(code) {}
    int Code() const noexcept { return code_; }

    // The standard text for an operating system error number
    // (2 gives "File not found", 100 gives "Read beyond end of file").
    static std::string TextFor(int code);
    static EInOutError FromCode(int code) { return EInOutError(code, TextFor(code)); }

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
