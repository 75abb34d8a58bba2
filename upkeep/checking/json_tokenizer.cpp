#include "upkeep/checking/json_tokenizer.h"

#include <array>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

// What the tokenizer is in the middle of.
enum State : uint8_t {
    Start,          // before the root
    AfterValue,     // a value (or the root) is complete
    ObjectOpen,     // after "{"
    KeyExpected,    // after "," in an object
    ColonExpected,  // after a key
    ValueExpected,  // after ":", or after "," in an array
    ArrayOpen,      // after "["
    InString,
    Escape,         // after a backslash in a string
    Hex1, Hex2, Hex3, Hex4,  // the digits of \uXXXX
    LowSurrogateBackslash,   // a high surrogate was read: "\" must follow...
    LowSurrogateU,           // ... and then "u"
    Minus, Zero, IntegerDigits, FractionStart, FractionDigits, ExponentStart, ExponentSign, ExponentDigits,
    T, Tr, Tru, F, Fa, Fal, Fals, N, Nu, Nul,
    StateCount
};

// Bytes grouped by what the grammar does with them.
enum ByteClass : uint8_t {
    CSpace, CWhite,  // 0x20; tab, line feed, carriage return
    CLeftBrace, CRightBrace, CLeftBracket, CRightBracket, CColon, CComma, CQuote, CBackslash, CSlash,
    CPlus, CMinus, CPoint, CZero, CDigit,  // CDigit: 1 to 9
    CLowerA, CLowerB, CLowerC, CLowerD, CLowerE, CLowerF, CLowerL, CLowerN, CLowerR, CLowerS, CLowerT, CLowerU,
    CUpperHex,  // A, B, C, D, F
    CUpperE,
    COther,    // every other byte from 0x20 up, 0x7F and 0x80 to 0xFF included
    CControl,  // bytes below 0x20 other than the white ones
    ClassCount
};

enum Action : uint8_t {
    Reject,  // zero, so that every transition not listed rejects
    Move,
    Append,        // the byte belongs to the token text
    HexDigit,      // one of the first three digits of \uXXXX
    LastHexDigit,  // the fourth
    EscapedByte,
    BeginObject, BeginArray, EndObject, EndArray, Comma, Colon,
    CloseString,
    EndNumber,  // space or white after a number
    EndTrue, EndFalse, EndNull,
};

struct Transition {
    uint8_t next;
    Action action;
};

struct TransitionTable {
    Transition at[StateCount][ClassCount];
};

constexpr std::array<uint8_t, 256> buildByteClasses() {
    std::array<uint8_t, 256> classes{};
    for (int byte = 0; byte < 256; ++byte) classes[byte] = byte < 0x20 ? CControl : COther;
    classes[' '] = CSpace;
    classes['\t'] = classes['\n'] = classes['\r'] = CWhite;
    classes['{'] = CLeftBrace;
    classes['}'] = CRightBrace;
    classes['['] = CLeftBracket;
    classes[']'] = CRightBracket;
    classes[':'] = CColon;
    classes[','] = CComma;
    classes['"'] = CQuote;
    classes['\\'] = CBackslash;
    classes['/'] = CSlash;
    classes['+'] = CPlus;
    classes['-'] = CMinus;
    classes['.'] = CPoint;
    classes['0'] = CZero;
    for (int digit = '1'; digit <= '9'; ++digit) classes[digit] = CDigit;
    classes['a'] = CLowerA;
    classes['b'] = CLowerB;
    classes['c'] = CLowerC;
    classes['d'] = CLowerD;
    classes['e'] = CLowerE;
    classes['f'] = CLowerF;
    classes['l'] = CLowerL;
    classes['n'] = CLowerN;
    classes['r'] = CLowerR;
    classes['s'] = CLowerS;
    classes['t'] = CLowerT;
    classes['u'] = CLowerU;
    classes['A'] = classes['B'] = classes['C'] = classes['D'] = classes['F'] = CUpperHex;
    classes['E'] = CUpperE;
    return classes;
}

constexpr void on(TransitionTable& table, State state, ByteClass byteClass, Action action, State next = Start) {
    table.at[state][byteClass] = Transition{static_cast<uint8_t>(next), action};
}

// Where a value may begin: after ":", after "," in an array, after "[".
constexpr void valueStarts(TransitionTable& table, State state) {
    on(table, state, CLeftBrace, BeginObject);
    on(table, state, CLeftBracket, BeginArray);
    on(table, state, CQuote, Move, InString);
    on(table, state, CMinus, Append, Minus);
    on(table, state, CZero, Append, Zero);
    on(table, state, CDigit, Append, IntegerDigits);
    on(table, state, CLowerT, Move, T);
    on(table, state, CLowerF, Move, F);
    on(table, state, CLowerN, Move, N);
}

// Where a number may end.
constexpr void numberEnds(TransitionTable& table, State state) {
    on(table, state, CSpace, EndNumber);
    on(table, state, CWhite, EndNumber);
    on(table, state, CComma, Comma);
    on(table, state, CRightBrace, EndObject);
    on(table, state, CRightBracket, EndArray);
}

constexpr void digits(TransitionTable& table, State state, State next) {
    on(table, state, CZero, Append, next);
    on(table, state, CDigit, Append, next);
}

constexpr void exponentMark(TransitionTable& table, State state) {
    on(table, state, CLowerE, Append, ExponentStart);
    on(table, state, CUpperE, Append, ExponentStart);
}

constexpr void hexDigits(TransitionTable& table, State state, Action action, State next) {
    const ByteClass hex[] = {CZero, CDigit, CLowerA, CLowerB, CLowerC, CLowerD, CLowerE, CLowerF, CUpperHex, CUpperE};
    for (ByteClass byteClass : hex) on(table, state, byteClass, action, next);
}

constexpr TransitionTable buildTransitions() {
    TransitionTable table{};

    // Space and white between tokens.
    for (State state : {Start, AfterValue, ObjectOpen, KeyExpected, ColonExpected, ValueExpected, ArrayOpen}) {
        on(table, state, CSpace, Move, state);
        on(table, state, CWhite, Move, state);
    }
    on(table, Start, CLeftBrace, BeginObject);
    on(table, Start, CLeftBracket, BeginArray);
    on(table, ObjectOpen, CRightBrace, EndObject);
    on(table, ObjectOpen, CQuote, Move, InString);
    on(table, KeyExpected, CQuote, Move, InString);
    on(table, ColonExpected, CColon, Colon);
    valueStarts(table, ValueExpected);
    valueStarts(table, ArrayOpen);
    on(table, ArrayOpen, CRightBracket, EndArray);
    on(table, AfterValue, CComma, Comma);
    on(table, AfterValue, CRightBrace, EndObject);
    on(table, AfterValue, CRightBracket, EndArray);

    // Strings: white and control bytes must be escaped.
    for (int byteClass = 0; byteClass < ClassCount; ++byteClass)
        if (byteClass != CWhite && byteClass != CControl)
            on(table, InString, static_cast<ByteClass>(byteClass), Append, InString);
    on(table, InString, CQuote, CloseString);
    on(table, InString, CBackslash, Move, Escape);
    for (ByteClass escaped : {CQuote, CBackslash, CSlash, CLowerB, CLowerF, CLowerN, CLowerR, CLowerT})
        on(table, Escape, escaped, EscapedByte);
    on(table, Escape, CLowerU, Move, Hex1);
    hexDigits(table, Hex1, HexDigit, Hex2);
    hexDigits(table, Hex2, HexDigit, Hex3);
    hexDigits(table, Hex3, HexDigit, Hex4);
    hexDigits(table, Hex4, LastHexDigit, InString);
    on(table, LowSurrogateBackslash, CBackslash, Move, LowSurrogateU);
    on(table, LowSurrogateU, CLowerU, Move, Hex1);

    // Numbers.
    on(table, Minus, CZero, Append, Zero);
    on(table, Minus, CDigit, Append, IntegerDigits);
    on(table, Zero, CPoint, Append, FractionStart);
    numberEnds(table, Zero);
    digits(table, IntegerDigits, IntegerDigits);
    on(table, IntegerDigits, CPoint, Append, FractionStart);
    exponentMark(table, IntegerDigits);
    numberEnds(table, IntegerDigits);
    digits(table, FractionStart, FractionDigits);
    exponentMark(table, FractionStart);
    numberEnds(table, FractionStart);
    digits(table, FractionDigits, FractionDigits);
    exponentMark(table, FractionDigits);
    numberEnds(table, FractionDigits);
    on(table, ExponentStart, CPlus, Append, ExponentSign);
    on(table, ExponentStart, CMinus, Append, ExponentSign);
    digits(table, ExponentStart, ExponentDigits);
    digits(table, ExponentSign, ExponentDigits);
    digits(table, ExponentDigits, ExponentDigits);
    numberEnds(table, ExponentDigits);

    // Literals, spelled exactly.
    on(table, T, CLowerR, Move, Tr);
    on(table, Tr, CLowerU, Move, Tru);
    on(table, Tru, CLowerE, EndTrue);
    on(table, F, CLowerA, Move, Fa);
    on(table, Fa, CLowerL, Move, Fal);
    on(table, Fal, CLowerS, Move, Fals);
    on(table, Fals, CLowerE, EndFalse);
    on(table, N, CLowerU, Move, Nu);
    on(table, Nu, CLowerL, Move, Nul);
    on(table, Nul, CLowerL, EndNull);
    return table;
}

constexpr std::array<uint8_t, 256> kByteClasses = buildByteClasses();
constexpr TransitionTable kTransitions = buildTransitions();

// Bytes that a string takes as they are: no quote, backslash, white or control byte.
constexpr std::array<bool, 256> buildPlainStringBytes() {
    std::array<bool, 256> plain{};
    const std::array<uint8_t, 256> classes = buildByteClasses();
    for (int byte = 0; byte < 256; ++byte) {
        const uint8_t byteClass = classes[byte];
        plain[byte] = byteClass != CQuote && byteClass != CBackslash && byteClass != CWhite && byteClass != CControl;
    }
    return plain;
}

constexpr std::array<bool, 256> kPlainStringBytes = buildPlainStringBytes();

bool isNumberState(uint8_t state) { return state >= Minus && state <= ExponentDigits; }

uint32_t hexValue(unsigned char byte) {
    if (byte <= '9') return byte - '0';
    if (byte >= 'a') return byte - 'a' + 10;
    return byte - 'A' + 10;
}

char unescaped(unsigned char byte) {
    switch (byte) {
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return static_cast<char>(byte);  // quote, backslash, slash
    }
}

// An optional "-" and decimal digits, saturated at the 64-bit limits.
int64_t integerFromDigits(const char* text, size_t length) {
    const bool negative = length && text[0] == '-';
    const uint64_t limit = negative ? uint64_t(std::numeric_limits<int64_t>::max()) + 1
                                    : uint64_t(std::numeric_limits<int64_t>::max());
    uint64_t magnitude = 0;
    for (size_t i = negative ? 1 : 0; i < length; ++i) {
        const uint64_t digit = static_cast<uint64_t>(text[i] - '0');
        if (magnitude > (limit - digit) / 10) {
            magnitude = limit;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    if (!negative) return static_cast<int64_t>(magnitude);
    // -2^63 cannot be negated as an int64_t.
    return magnitude == limit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
}

// strtod with the point replaced by the decimal point of the current locale.
double realFromText(const char* text, size_t length) {
    std::string localized(text, length);
    const size_t point = localized.find('.');
    if (point != std::string::npos) {
        const char* decimalPoint = std::localeconv()->decimal_point;
        localized.replace(point, 1, decimalPoint && *decimalPoint ? decimalPoint : ".");
    }
    return std::strtod(localized.c_str(), nullptr);
}

}  // namespace

JSONTokenizer::JSONTokenizer(JSONTokenListener& listener, const JSONParseOptions& options)
    : m_listener(listener), m_options(options), m_state(Start), m_token(kInitialTokenCapacity) {
    m_modes.reserve(kModeStackLimit);
    m_modes.push_back(Mode::Done);
}

bool JSONTokenizer::complete() const { return m_state == AfterValue && m_modes.size() == 1; }

bool JSONTokenizer::feed(unsigned char byte) {
    const uint8_t byteClass = kByteClasses[byte];
    if (m_state == InString && (byteClass == CControl || byteClass == CWhite) && m_options.acceptRawControlBytes) {
        appendToken(static_cast<char>(byte));
        return true;
    }
    const Transition transition = kTransitions.at[m_state][byteClass];
    switch (transition.action) {
    case Reject: return false;
    case Move: m_state = transition.next; return true;
    case Append:
        appendToken(static_cast<char>(byte));
        m_state = transition.next;
        return true;
    case HexDigit:
        m_codeUnit = m_codeUnit * 16 + hexValue(byte);
        m_state = transition.next;
        return true;
    case LastHexDigit: m_codeUnit = m_codeUnit * 16 + hexValue(byte); return finishCodeUnit();
    case EscapedByte:
        appendToken(unescaped(byte));
        m_state = InString;
        return true;
    case BeginObject:
        if (!pushMode(Mode::Key)) return false;
        m_listener.objectStart();
        m_state = ObjectOpen;
        return true;
    case BeginArray:
        if (!pushMode(Mode::Array)) return false;
        m_listener.arrayStart();
        m_state = ArrayOpen;
        return true;
    case EndObject: {
        if (isNumberState(m_state)) m_pending = Pending::Number;
        deliverPending();
        // "}" right after "{" closes an object that is still waiting for its first key.
        const Mode expected = m_state == ObjectOpen ? Mode::Key : Mode::Object;
        if (topMode() != expected) return false;
        m_modes.pop_back();
        m_listener.objectEnd();
        m_state = AfterValue;
        return true;
    }
    case EndArray:
        if (isNumberState(m_state)) m_pending = Pending::Number;
        deliverPending();
        if (topMode() != Mode::Array) return false;
        m_modes.pop_back();
        m_listener.arrayEnd();
        m_state = AfterValue;
        return true;
    case Comma:
        if (isNumberState(m_state)) m_pending = Pending::Number;
        deliverPending();
        if (topMode() == Mode::Object) {
            m_modes.back() = Mode::Key;
            m_state = KeyExpected;
            return true;
        }
        if (topMode() == Mode::Array) {
            m_state = ValueExpected;
            return true;
        }
        return false;
    case Colon:
        if (topMode() != Mode::Key) return false;
        m_modes.back() = Mode::Object;
        m_state = ValueExpected;
        return true;
    case CloseString:
        if (topMode() == Mode::Key) {
            m_listener.key(m_token.data(), m_tokenLength);
            m_state = ColonExpected;
        } else {
            m_listener.stringValue(m_token.data(), m_tokenLength);
            m_state = AfterValue;
        }
        clearToken();
        return true;
    case EndNumber:
        m_pending = Pending::Number;
        m_state = AfterValue;
        return true;
    case EndTrue:
        m_pending = Pending::True;
        m_state = AfterValue;
        return true;
    case EndFalse:
        m_pending = Pending::False;
        m_state = AfterValue;
        return true;
    case EndNull:
        m_pending = Pending::Null;
        m_state = AfterValue;
        return true;
    }
    return false;
}

size_t JSONTokenizer::feed(const char* bytes, size_t length) {
    size_t taken = 0;
    while (taken < length) {
        if (m_state == InString) {
            size_t end = taken;
            while (end < length && kPlainStringBytes[static_cast<unsigned char>(bytes[end])]) ++end;
            appendToken(bytes + taken, end - taken);
            taken = end;
            if (taken == length) break;
        }
        if (!feed(static_cast<unsigned char>(bytes[taken]))) break;
        ++taken;
    }
    return taken;
}

bool JSONTokenizer::pushMode(Mode mode) {
    if (m_modes.size() >= kModeStackLimit) return false;
    m_modes.push_back(mode);
    return true;
}

void JSONTokenizer::appendToken(char byte) {
    if (m_tokenLength == m_token.size()) m_token.resize(m_token.size() * 2);
    m_token[m_tokenLength++] = byte;
}

void JSONTokenizer::appendToken(const char* bytes, size_t length) {
    if (!length) return;
    size_t capacity = m_token.size();
    while (capacity - m_tokenLength < length) capacity *= 2;
    if (capacity != m_token.size()) m_token.resize(capacity);
    std::memcpy(m_token.data() + m_tokenLength, bytes, length);
    m_tokenLength += length;
}

void JSONTokenizer::appendCodePoint(uint32_t codePoint) {
    if (codePoint < 0x80) {
        appendToken(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        appendToken(static_cast<char>(0xC0 | (codePoint >> 6)));
        appendToken(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        appendToken(static_cast<char>(0xE0 | (codePoint >> 12)));
        appendToken(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        appendToken(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        appendToken(static_cast<char>(0xF0 | (codePoint >> 18)));
        appendToken(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        appendToken(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        appendToken(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// A complete \uXXXX: a character, the first half of a surrogate pair, or its second.
bool JSONTokenizer::finishCodeUnit() {
    const uint32_t unit = m_codeUnit;
    m_codeUnit = 0;
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (m_highSurrogate) {
        if (!low) return false;
        appendCodePoint(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00));
        m_highSurrogate = 0;
        m_state = InString;
        return true;
    }
    if (high) {
        m_highSurrogate = unit;
        m_state = LowSurrogateBackslash;
        return true;
    }
    if (low) return false;
    appendCodePoint(unit);
    m_state = InString;
    return true;
}

void JSONTokenizer::deliverPending() {
    const Pending pending = m_pending;
    m_pending = Pending::None;
    switch (pending) {
    case Pending::None: break;
    case Pending::Number: deliverNumber(); break;
    case Pending::True: m_listener.booleanValue(true); break;
    case Pending::False: m_listener.booleanValue(false); break;
    case Pending::Null: m_listener.nullValue(); break;
    }
}

void JSONTokenizer::deliverNumber() {
    const char* text = m_token.data();
    const size_t length = m_tokenLength;
    clearToken();
    bool real = false;
    for (size_t i = 0; i < length; ++i)
        if (text[i] == '.' || text[i] == 'e' || text[i] == 'E') real = true;
    if (real)
        m_listener.realValue(realFromText(text, length));
    else
        m_listener.integerValue(integerFromDigits(text, length));
}
