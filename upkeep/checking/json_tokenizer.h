// The JSON tokenizer: a table-driven state machine fed one byte at a time, with a stack
// of open containers, that reports tokens to a listener. Portable: no Windows header.
//
// What it accepts differs from RFC 8259 in a few places the update protocol relies on:
// the root must be "{" or "["; a point may be followed by no digits ("1." and "1.e5" are
// numbers); a leading zero cannot take an exponent directly ("0e1" is rejected, "0.e1"
// is accepted); "/" is never accepted outside strings; bytes below 0x20 are rejected
// inside strings (unless JSONParseOptions says otherwise) and, except for tab, line
// feed and carriage return, everywhere else.
//
// Numbers without "." or exponent are integers, read like "%lld" but saturating at the
// 64-bit limits like strtoll, the same on every platform. Other numbers are reals, read
// by strtod after "." is replaced by the current locale's decimal point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct JSONParseOptions {
    // Accept raw bytes below 0x20 (tab, line feed and the other control bytes) inside
    // strings. The writer emits such bytes unescaped, except for the ones it has short
    // escapes for, so a reader that must accept everything the writer can produce (the
    // update server reading requests) turns this on. Off: those bytes are rejected.
    bool acceptRawControlBytes = false;
};

// Receives the tokens in document order. Strings, keys and container starts and ends
// arrive at once; numbers, true, false and null arrive when the following ",", "}"
// or "]" does. Text is passed as bytes and length and may contain zero bytes (from
// \u0000). An exception thrown here passes out of JSONTokenizer::feed, and the
// tokenizer must not be fed again.
class JSONTokenListener {
public:
    virtual void objectStart() = 0;
    virtual void objectEnd() = 0;
    virtual void arrayStart() = 0;
    virtual void arrayEnd() = 0;
    virtual void key(const char* bytes, size_t length) = 0;
    virtual void stringValue(const char* bytes, size_t length) = 0;
    virtual void integerValue(int64_t value) = 0;
    virtual void realValue(double value) = 0;
    virtual void booleanValue(bool value) = 0;
    virtual void nullValue() = 0;

protected:
    ~JSONTokenListener() = default;
};

class JSONTokenizer {
public:
    // At most this many open containers, the done entry at the bottom included: at
    // most 126 arrays and objects can be open at once.
    static constexpr size_t kModeStackLimit = 127;
    // The token text buffer starts at this many bytes and doubles as needed.
    static constexpr size_t kInitialTokenCapacity = 3500;

    explicit JSONTokenizer(JSONTokenListener& listener, const JSONParseOptions& options = {});

    // Takes one byte; answers false when the byte is rejected (a syntax error). After a
    // rejection the tokenizer must not be fed again.
    bool feed(unsigned char byte);
    // Feeds the bytes in order, as feed(byte) does, up to the first rejected one;
    // answers how many were taken. Runs of plain string bytes are copied at once.
    size_t feed(const char* bytes, size_t length);

    // True when a complete root value has been read and only space or white followed.
    bool complete() const;

private:
    enum class Mode : uint8_t { Done, Key, Object, Array };
    enum class Pending : uint8_t { None, Number, True, False, Null };

    bool pushMode(Mode mode);
    Mode topMode() const { return m_modes.back(); }
    void appendToken(char byte);
    void appendToken(const char* bytes, size_t length);
    void appendCodePoint(uint32_t codePoint);
    bool finishCodeUnit();
    void deliverPending();
    void deliverNumber();
    void clearToken() { m_tokenLength = 0; }

    JSONTokenListener& m_listener;
    const JSONParseOptions m_options;
    uint8_t m_state;
    std::vector<Mode> m_modes;
    std::vector<char> m_token;
    size_t m_tokenLength = 0;
    Pending m_pending = Pending::None;
    uint32_t m_codeUnit = 0;
    uint32_t m_highSurrogate = 0;
};
