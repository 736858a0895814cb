#include "afxstr.h"

#include <cstdlib>
#include <cstring>

namespace {
char g_emptyText[1] = {'\0'};

int TextLength(const char* text) {
    return text ? static_cast<int>(std::strlen(text)) : 0;
}
}  // namespace

CString::CString() : m_chars(g_emptyText), m_length(0), m_capacity(0) {}

CString::CString(const char* text) : CString() {
    Assign(text, TextLength(text));
}

CString::CString(const CString& other) : CString() {
    Assign(other.m_chars, other.m_length);
}

CString::~CString() {
    if (m_capacity) std::free(m_chars);
}

CString& CString::operator=(const char* text) {
    Assign(text, TextLength(text));
    return *this;
}

CString& CString::operator=(const CString& other) {
    if (this != &other) Assign(other.m_chars, other.m_length);
    return *this;
}

CString& CString::operator+=(const char* text) {
    Append(text, TextLength(text));
    return *this;
}

CString& CString::operator+=(const CString& other) {
    Append(other.m_chars, other.m_length);
    return *this;
}

CString& CString::operator+=(char ch) {
    Append(&ch, 1);
    return *this;
}

char* CString::GetBufferSetLength(int length) {
    if (length < 0) length = 0;
    Reserve(length);
    if (m_capacity == 0) return m_chars;  // length 0 and nothing allocated
    m_chars[length] = '\0';
    m_length = length;
    return m_chars;
}

void CString::ReleaseBuffer(int length) {
    if (length < 0 || length > m_length) length = TextLength(m_chars);
    if (m_capacity) m_chars[length] = '\0';
    m_length = length;
}

void CString::Assign(const char* text, int length) {
    m_length = 0;
    Append(text, length);
    if (m_capacity) m_chars[m_length] = '\0';
}

void CString::Append(const char* text, int length) {
    if (length <= 0) return;
    // The source may lie inside our own buffer (s += s), which Reserve may move.
    const bool ownText = m_capacity && text >= m_chars && text <= m_chars + m_length;
    const int ownOffset = ownText ? static_cast<int>(text - m_chars) : 0;
    Reserve(m_length + length);
    if (ownText) text = m_chars + ownOffset;
    std::memmove(m_chars + m_length, text, static_cast<size_t>(length));
    m_length += length;
    m_chars[m_length] = '\0';
}

void CString::Reserve(int capacity) {
    if (capacity <= 0 || capacity <= m_capacity) return;
    int grown = m_capacity + m_capacity / 2;
    if (grown < capacity) grown = capacity;
    char* chars = static_cast<char*>(std::malloc(static_cast<size_t>(grown) + 1));
    if (!chars) std::abort();
    std::memcpy(chars, m_chars, static_cast<size_t>(m_length) + 1);
    if (m_capacity) std::free(m_chars);
    m_chars = chars;
    m_capacity = grown;
}

CString operator+(const CString& left, const CString& right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(const CString& left, const char* right) {
    CString result(left);
    result += right;
    return result;
}

CString operator+(const char* left, const CString& right) {
    CString result(left);
    result += right;
    return result;
}

bool operator==(const CString& left, const CString& right) {
    return left.GetLength() == right.GetLength() &&
           std::memcmp(static_cast<const char*>(left), static_cast<const char*>(right),
                       static_cast<size_t>(left.GetLength())) == 0;
}

bool operator==(const CString& left, const char* right) {
    return std::strcmp(left, right ? right : "") == 0;
}
