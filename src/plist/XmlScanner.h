#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace plistio {

// A single-pass pull scanner over the bytes of an XML document (UTF-8, no
// byte-order mark), building nothing: each call to Next() reports the next
// piece of the document. It accepts and rejects what pugixml does (the
// tests hold it to pugixml): comments, processing instructions and the
// DOCTYPE are skipped, attributes are checked and skipped, and references
// are left in the text for the store to decode.
//
// The bytes must stay alive and unchanged while the scanner runs; they need
// no terminating NUL. A NUL byte is no XML character: it ends the document
// as damage, wherever it stands.
class XmlScanner {
public:
    enum class Token {
        Start,    // a start tag or an empty-element tag: Name(), SelfClosing()
        End,      // an end tag, matching the open start tag: Name()
        Text,     // character data between tags, references as written
        CData,    // the content of a CDATA section
        Finished, // the input ended with every element closed; nothing more comes
        Error,    // the input is not well-formed at Offset(); nothing more comes
    };

    explicit XmlScanner(std::string_view bytes);

    Token Next();
    // Next, passing over a text of nothing but XML white space (blanks, TABs
    // and line ends) that ends at a tag or at the end of the input: for a
    // reader to whom the layout between elements means nothing.
    Token NextPastSpace();

    // The element's name (Start and End).
    std::string_view Name() const { return bytes_.substr(nameAt_, nameSize_); }
    // An empty-element tag: no End follows this Start.
    bool SelfClosing() const { return selfClosing_; }
    // The text of a Text or CData token, line ends normalized (CR LF and a
    // lone CR become LF). Valid until the next call to Next().
    std::string_view Text() const { return text_; }
    // The text (Text only) is ASCII without references, and without
    // controls other than TAB and LF: it reads as it stands. Such a text
    // lies in the input itself and stays valid after the next call.
    bool TextIsPlain() const { return textPlain_; }
    // Where the current token begins: the '<' of a tag or a CDATA section,
    // the first byte of a text. For Error the '<' of the damaged markup, the
    // NUL byte, or the end of the input; for Finished the end of the input.
    std::size_t Offset() const { return offset_; }
    // The open elements after the current token. Text and CDATA outside the
    // root element come at depth 0.
    std::size_t Depth() const { return open_.size(); }

private:
    struct OpenElement {
        std::size_t nameAt;
        std::size_t nameSize;
    };

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::size_t offset_ = 0;
    std::size_t nameAt_ = 0;
    std::size_t nameSize_ = 0;
    bool selfClosing_ = false;
    bool textPlain_ = false;
    bool sawRoot_ = false;
    bool done_ = false;
    Token last_ = Token::Finished;
    // Damage found after a token that still had to be reported.
    std::size_t failAt_ = std::string_view::npos;
    std::string_view text_;
    std::string scratch_;
    std::vector<OpenElement> open_;

    char At(std::size_t i) const { return i < bytes_.size() ? bytes_[i] : '\0'; }
    Token Fail(std::size_t at);
    // Where the end tag at `q` (its '<') of the innermost open element ends,
    // after its '>'; null when it is no such end tag.
    const char* EndTagEnd(const char* q) const;
    Token TextWithCr(std::size_t firstCr);
    Token ScanStartTag(std::size_t at, std::size_t nameEnd);
    Token ScanCData(std::size_t at);
    std::size_t SkipAttributes(std::size_t i, bool& selfClosing) const;
    std::size_t SkipProcessingInstruction(std::size_t at) const;
    std::size_t SkipComment(std::size_t at) const;
    std::size_t SkipDoctype(std::size_t at) const;
    std::size_t Find(std::size_t from, std::string_view what) const;
    void Normalize(std::size_t begin, std::size_t end, std::size_t firstCr);
};

} // namespace plistio
