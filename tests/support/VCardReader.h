#pragma once

#include <map>
#include <string>
#include <vector>

namespace lazrine::testing {

// A small vCard 3.0 reader for tests, written from RFC 2426 alone: unfolds
// lines, splits each content line into name, parameters and value, and
// unescapes text values. It checks what a strict reader would reject: lines
// not ending in CR LF, physical lines longer than 75 octets, folds inside a
// UTF-8 character, cards without BEGIN/VERSION/FN/END.
class VCardReader {
public:
    struct Line {
        std::string name;                                // upper case
        std::map<std::string, std::string> params;       // upper-case names, values as written
        std::string raw;                                 // the value still escaped
        // The value unescaped; components split at unescaped ';'.
        std::string Text() const;
        std::vector<std::string> Components() const;
    };
    struct Card {
        std::vector<Line> lines;
        // The first line named `name` whose TYPE parameter contains `type`
        // (any when empty); null when none.
        const Line* Find(const std::string& name, const std::string& type = {}) const;
        std::vector<const Line*> FindAll(const std::string& name) const;
    };

    // False with `error` when the text breaks a rule above.
    bool Parse(const std::string& text, std::vector<Card>& cards, std::string& error) const;

    static std::string Unescape(const std::string& value);
};

}  // namespace lazrine::testing
