// CString under a little interpreter: the input is a sequence of operations on
// three strings (assign, append, concatenate, fill through the buffer, compare),
// each done to a CString and to a std::string that models it. After every
// operation each CString must hold exactly its model's characters, terminated.
//
// What the model follows: text taken as const char* stops at its first NUL
// (also when it comes out of a CString), while CString-to-CString copies and
// appends carry the whole length, NULs appended with += char included.
#include <cstring>

#include "fuzz_support.h"

namespace {

const int kSlots = 3;
const size_t kLongest = 1 << 16;  // a slot past this starts over, to keep runs quick

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Done() const { return m_pos >= m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int Slot() { return Byte() % kSlots; }
    // Up to 47 bytes as C text: cut at the first NUL.
    std::string Text() {
        const size_t length = Byte() % 48;
        std::string bytes;
        for (size_t i = 0; i < length && !Done(); ++i) bytes += static_cast<char>(Byte());
        return bytes.c_str();
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// What a const char* taken at `offset` into a string reads as.
std::string CText(const std::string& model, size_t offset) {
    return model.c_str() + offset;
}

void CheckSame(const CString& text, const std::string& model) {
    FUZZ_CHECK(text.GetLength() == static_cast<int>(model.size()));
    FUZZ_CHECK(text.IsEmpty() == model.empty());
    const char* chars = text;
    FUZZ_CHECK(chars != nullptr);
    FUZZ_CHECK(std::memcmp(chars, model.data(), model.size()) == 0);
    FUZZ_CHECK(chars[model.size()] == '\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    CString strings[kSlots];
    std::string models[kSlots];

    while (!in.Done()) {
        const int op = in.Byte() % 16;
        const int a = in.Slot();
        const int b = in.Slot();
        CString& s = strings[a];
        std::string& m = models[a];
        switch (op) {
            case 0: {  // assign text
                const std::string text = in.Text();
                s = text.c_str();
                m = text;
                break;
            }
            case 1: {  // assign another CString, or itself
                s = strings[b];
                m = std::string(models[b]);
                break;
            }
            case 2: {  // assign text from inside a CString, maybe this one
                const size_t offset = in.Byte() % (models[b].size() + 1);
                const std::string expected = CText(models[b], offset);
                s = static_cast<const char*>(strings[b]) + offset;
                m = expected;
                break;
            }
            case 3: {  // append text
                const std::string text = in.Text();
                s += text.c_str();
                m += text;
                break;
            }
            case 4: {  // append a CString, or itself
                const std::string appended = models[b];
                s += strings[b];
                m += appended;
                break;
            }
            case 5: {  // append text from inside a CString, maybe this one
                const size_t offset = in.Byte() % (models[b].size() + 1);
                const std::string appended = CText(models[b], offset);
                s += static_cast<const char*>(strings[b]) + offset;
                m += appended;
                break;
            }
            case 6: {  // append a character, NUL included
                const char ch = static_cast<char>(in.Byte());
                s += ch;
                m += ch;
                break;
            }
            case 7: {  // CString + CString
                const int c = in.Slot();
                const std::string expected = models[b] + models[c];
                s = strings[b] + strings[c];
                m = expected;
                break;
            }
            case 8: {  // CString + text
                const std::string text = in.Text();
                const std::string expected = models[b] + text;
                s = strings[b] + text.c_str();
                m = expected;
                break;
            }
            case 9: {  // text + CString
                const std::string text = in.Text();
                const std::string expected = text + models[b];
                s = text.c_str() + strings[b];
                m = expected;
                break;
            }
            case 10: {  // copy construction
                const CString copy(strings[b]);
                CheckSame(copy, models[b]);
                s = copy;
                m = std::string(models[b]);
                break;
            }
            case 11: {  // fill through the buffer, then release it
                const size_t old = m.size();
                const size_t length = in.Byte() % (old + 33);
                char* buffer = s.GetBufferSetLength(static_cast<int>(length));
                FUZZ_CHECK(buffer != nullptr);
                FUZZ_CHECK(s.GetLength() == static_cast<int>(length));
                FUZZ_CHECK(buffer[length] == '\0');
                // What was there stays; the rest is written here, as an API would.
                std::string filled = m.substr(0, length < old ? length : old);
                FUZZ_CHECK(std::memcmp(buffer, filled.data(), filled.size()) == 0);
                for (size_t i = filled.size(); i < length; ++i) {
                    buffer[i] = static_cast<char>(in.Byte());
                    filled += buffer[i];
                }
                switch (in.Byte() % 3) {
                    case 0:  // measured
                        s.ReleaseBuffer();
                        m = filled.c_str();
                        break;
                    case 1: {  // given
                        const size_t kept = in.Byte() % (length + 1);
                        s.ReleaseBuffer(static_cast<int>(kept));
                        m = filled.substr(0, kept);
                        break;
                    }
                    default:  // too long to be right: measured
                        s.ReleaseBuffer(static_cast<int>(length + 1 + in.Byte()));
                        m = filled.c_str();
                        break;
                }
                break;
            }
            case 12: {  // compare with a CString and with text
                FUZZ_CHECK((s == strings[b]) == (m == models[b]));
                const std::string text = in.Text();
                FUZZ_CHECK((s == text.c_str()) == (std::strcmp(m.c_str(), text.c_str()) == 0));
                FUZZ_CHECK((s == static_cast<const char*>(nullptr)) == (m.c_str()[0] == '\0'));
                break;
            }
            case 13: {  // read characters
                if (!m.empty()) {
                    const size_t index = in.Byte() % m.size();
                    FUZZ_CHECK(s.GetAt(static_cast<int>(index)) == m[index]);
                    FUZZ_CHECK(s[static_cast<int>(index)] == m[index]);
                }
                break;
            }
            case 14: {  // null text: assigns nothing, appends nothing
                if (b == 0) {
                    s = static_cast<const char*>(nullptr);
                    m.clear();
                } else {
                    s += static_cast<const char*>(nullptr);
                }
                break;
            }
            default: {  // construct from text
                const std::string text = in.Text();
                const CString made(text.c_str());
                CheckSame(made, text);
                break;
            }
        }
        for (int i = 0; i < kSlots; ++i) {
            CheckSame(strings[i], models[i]);
            if (models[i].size() > kLongest) {
                strings[i] = "";
                models[i].clear();
            }
        }
    }
    return 0;
}
