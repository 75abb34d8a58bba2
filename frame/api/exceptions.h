// The exception classes that every module of the system throws and catches.
// Declared once here and compiled into each module, so a throw in one DLL is
// caught by type in another. Every message is UTF-8. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

// Common carrier of the UTF-8 message; every class below derives from std::exception
// through it.
class message_exception : public std::exception {
public:
    explicit message_exception(std::string message) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

class exception_bug_check : public message_exception {
public:
    exception_bug_check() : message_exception("Bug check") {}

protected:
    explicit exception_bug_check(std::string message) : message_exception(std::move(message)) {}
};

// "Bug check", followed by " (at: <path>)" when the call-stack path is not empty.
// On Windows, throw_bug_check_v2() (frame/bug_check.h) reads the path from the host.
class exception_bug_check_v2 : public exception_bug_check {
public:
    explicit exception_bug_check_v2(const std::string& call_stack_path)
        : exception_bug_check(call_stack_path.empty() ? std::string("Bug check")
                                                      : "Bug check (at: " + call_stack_path + ")") {}
};

class exception_invalid_params : public exception_bug_check {
public:
    exception_invalid_params() : exception_bug_check("Invalid parameters") {}
};

class exception_not_implemented : public exception_bug_check {
public:
    exception_not_implemented() : exception_bug_check("Feature not implemented") {}
};

// A size that does not fit.
class exception_overflow : public message_exception {
public:
    exception_overflow() : message_exception("Overflow") {}
};

// A Windows error code with its system message. The constructor that takes only the
// code (frame/exception_win32.cpp, Windows builds) looks the message up.
class exception_win32 : public message_exception {
public:
    explicit exception_win32(uint32_t code);
    exception_win32(uint32_t code, std::string message)
        : message_exception(std::move(message)), m_code(code) {}
    uint32_t get_code() const { return m_code; }

private:
    uint32_t m_code;
};

class exception_service_not_found : public message_exception {
public:
    exception_service_not_found() : message_exception("Service not found") {}
};

class exception_service_duplicated : public message_exception {
public:
    exception_service_duplicated() : message_exception("Service duplicated") {}
};

namespace vellora_io {

class exception_io : public message_exception {
public:
    explicit exception_io(std::string message) : message_exception(std::move(message)) {}
};

class exception_io_data : public exception_io {
public:
    explicit exception_io_data(std::string message) : exception_io(std::move(message)) {}
};

class exception_io_data_truncation : public exception_io_data {
public:
    exception_io_data_truncation() : exception_io_data("Unsupported format or corrupted file") {}
};

class exception_io_no_handler_for_path : public exception_io {
public:
    exception_io_no_handler_for_path() : exception_io("Invalid path") {}
};

// Not an I/O exception: handlers of exception_io do not catch an abort.
class exception_aborted : public message_exception {
public:
    exception_aborted() : message_exception("User abort") {}
};

}  // namespace vellora_io
