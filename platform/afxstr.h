// CString: the 8-bit string the whole program passes around.
//
// Portable on purpose: it includes no Windows header, so the station core and
// its tests build natively as well as for Windows. Only LoadString touches the
// system, and it is defined in the Windows build alone.
#pragma once

class CString {
public:
    CString();
    CString(const char* text);
    CString(const CString& other);
    ~CString();

    CString& operator=(const char* text);
    CString& operator=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(char ch);

    bool IsEmpty() const { return m_length == 0; }
    int GetLength() const { return m_length; }
    char GetAt(int index) const { return m_chars[index]; }
    char operator[](int index) const { return m_chars[index]; }
    operator const char*() const { return m_chars; }

    // Direct access for filling from an API that writes characters: the buffer
    // holds at least `length` characters plus the terminator; ReleaseBuffer
    // takes the new length (or measures it when given -1).
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int length = -1);

    // Loads a string resource of the running module; false when it is absent.
    bool LoadString(unsigned int id);

private:
    void Assign(const char* text, int length);
    void Append(const char* text, int length);
    void Reserve(int capacity);

    char* m_chars;  // always terminated; points at a shared "" while empty
    int m_length;
    int m_capacity;  // 0 while m_chars is the shared empty text
};

CString operator+(const CString& left, const CString& right);
CString operator+(const CString& left, const char* right);
CString operator+(const char* left, const CString& right);
bool operator==(const CString& left, const CString& right);
bool operator==(const CString& left, const char* right);
