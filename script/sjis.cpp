#include "script/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace corv::script {

namespace {

// One conversion descriptor per call: no state is shared between callers.
class Converter {
public:
    Converter() {
        descriptor_ = iconv_open("UTF-8", "CP932");
        if (descriptor_ == invalid()) descriptor_ = iconv_open("UTF-8", "SHIFT_JIS");
    }
    ~Converter() {
        if (descriptor_ != invalid()) iconv_close(descriptor_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    [[nodiscard]] bool usable() const { return descriptor_ != invalid(); }
    [[nodiscard]] iconv_t get() const { return descriptor_; }

private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }
    iconv_t descriptor_;
};

// Without a converter only ASCII can be shown faithfully.
std::string asciiOnly(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x80) {
            out.push_back(c);
        } else {
            out += kReplacementCharacter;
        }
    }
    return out;
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
    Converter converter;
    if (!converter.usable()) return asciiOnly(bytes);

    std::string out;
    std::vector<char> input(bytes.begin(), bytes.end());
    char* in = input.data();
    size_t inLeft = input.size();
    char chunk[256];
    while (inLeft > 0) {
        char* outPointer = chunk;
        size_t outLeft = sizeof chunk;
        const size_t result = iconv(converter.get(), &in, &inLeft, &outPointer, &outLeft);
        out.append(chunk, static_cast<size_t>(outPointer - chunk));
        if (result != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ (no such character) or EINVAL (a lead byte cut off at the end): show one
        // replacement for the byte and go on after it.
        out += kReplacementCharacter;
        ++in;
        --inLeft;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace corv::script
