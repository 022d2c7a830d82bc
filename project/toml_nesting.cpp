#include "project/toml_nesting.h"

#include <vector>

namespace corv::project {
namespace {

class NestingScan {
public:
    NestingScan(std::string_view text, int limit) : text_(text), limit_(limit) {}

    std::optional<int> run() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n') {
                ++line_;
                ++at_;
                // A line end outside every bracket ends the key = value (arrays span lines).
                if (frames_.empty()) startStatement();
                continue;
            }
            if (c == '#') {
                skipComment();
                continue;
            }
            if (c == '"' || c == '\'') {
                skipString(c);
                continue;
            }
            if (heading_) {
                scanHeading(c);
            } else if (keyPosition_) {
                scanKey(c);
            } else {
                scanValue(c);
            }
            if (deepest_ > limit_) return tooDeepAt_;
        }
        return std::nullopt;
    }

private:
    struct Frame {
        bool table;  // an inline table (its keys nest further), else an array
        int depth;   // the depth of the values directly in it
    };

    void startStatement() {
        keyPosition_ = true;
        statementStart_ = true;
        keyParts_ = 1;
    }

    void reach(int depth) {
        if (depth > deepest_) {
            deepest_ = depth;
            tooDeepAt_ = line_;
        }
    }

    int baseDepth() const { return frames_.empty() ? headingDepth_ : frames_.back().depth; }

    void scanHeading(char c) {
        ++at_;
        if (c == '.') {
            reach(++headingDepth_);
        } else if (c == ']') {
            heading_ = false;
            keyPosition_ = false;  // nothing else belongs on a heading's line
        }
    }

    void scanKey(char c) {
        ++at_;
        if (c == ' ' || c == '\t' || c == '\r') return;
        if (c == '[' && statementStart_ && frames_.empty()) {
            heading_ = true;
            const bool arrayOfTables = at_ < text_.size() && text_[at_] == '[';
            if (arrayOfTables) ++at_;
            headingDepth_ = arrayOfTables ? 2 : 1;  // an array of tables holds a table
            reach(headingDepth_);
            return;
        }
        statementStart_ = false;
        if (c == '.') {
            ++keyParts_;
            reach(baseDepth() + keyParts_);
        } else if (c == '=') {
            keyPosition_ = false;
            valueDepth_ = baseDepth() + keyParts_;
            reach(valueDepth_);
        } else if (c == '}' && !frames_.empty()) {
            closeFrame();  // an empty inline table
        }
    }

    void scanValue(char c) {
        ++at_;
        if (c == '[' || c == '{') {
            const bool table = c == '{';
            frames_.push_back({table, valueDepth_ + 1});
            reach(valueDepth_ + 1);
            if (table) {
                keyPosition_ = true;
                keyParts_ = 1;
            } else {
                valueDepth_ = frames_.back().depth;
            }
        } else if (c == ']' || c == '}') {
            if (!frames_.empty()) closeFrame();
        } else if (c == ',' && !frames_.empty()) {
            if (frames_.back().table) {
                keyPosition_ = true;
                keyParts_ = 1;
            } else {
                valueDepth_ = frames_.back().depth;
            }
        }
    }

    void closeFrame() {
        frames_.pop_back();
        keyPosition_ = false;
        valueDepth_ = frames_.empty() ? 0 : frames_.back().depth;
    }

    void skipComment() {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
    }

    // A basic string (escapes) or a literal one, each also in its three-quote form that may
    // span lines.
    void skipString(char quote) {
        const std::string_view three = quote == '"' ? "\"\"\"" : "'''";
        const bool multiLine = text_.substr(at_, 3) == three;
        at_ += multiLine ? 3 : 1;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n') {
                if (!multiLine) return;  // an unclosed string: the parser says so
                ++line_;
            } else if (c == '\\' && quote == '"') {
                // An escape, or in a long string a line end the backslash joins away.
                if (at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++line_;
                at_ += 2;
                continue;
            } else if (c == quote && (!multiLine || text_.substr(at_, 3) == three)) {
                at_ += multiLine ? 3 : 1;
                // A long string may end in one or two quotes of its own before the three.
                while (multiLine && at_ < text_.size() && text_[at_] == quote) ++at_;
                return;
            }
            ++at_;
        }
    }

    std::string_view text_;
    int limit_;
    size_t at_ = 0;
    int line_ = 1;
    bool heading_ = false;
    bool keyPosition_ = true;
    bool statementStart_ = true;
    int headingDepth_ = 0;
    int keyParts_ = 1;
    int valueDepth_ = 0;
    std::vector<Frame> frames_;
    int deepest_ = 0;
    int tooDeepAt_ = 0;
};

}  // namespace

std::optional<int> LineNestedTooDeep(std::string_view text, int limit) { return NestingScan(text, limit).run(); }

}  // namespace corv::project
