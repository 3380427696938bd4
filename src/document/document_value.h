// One setting's value as a document gives it, before the setting's kind
// reads it, and as an export writes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace telvor {

// Where something stands in a document: line and column from 1; 0 and 0
// for a value that stands in no document (a set argument).
struct Position {
    int line = 0;
    int column = 0;

    friend bool operator<(const Position& a, const Position& b)
    {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    }
};

struct Value {
    enum class Form {
        Plain,  // a plain scalar: a number, true, a caption
        Quoted, // a quoted scalar: a text
        Null,   // nothing after the key
        List,   // a list of scalars
        Raw,    // {raw: N}
        Other,  // anything else: a mapping, a list of lists
    };
    struct Item {
        std::string text;
        bool plain = true;
        Position where;
    };

    Form form = Form::Null;
    std::string text;        // Plain, Quoted: UTF-8
    std::vector<Item> items; // List
    std::uint64_t raw = 0;   // Raw; saturates beyond 64 bits
    Position where;

    static Value plain(std::string text) { return {Form::Plain, std::move(text), {}, 0, {}}; }
    static Value quoted(std::string text) { return {Form::Quoted, std::move(text), {}, 0, {}}; }
    static Value rawBits(std::uint64_t bits) { return {Form::Raw, {}, {}, bits, {}}; }
    static Value list(const std::vector<std::string>& texts)
    {
        Value value{Form::List, {}, {}, 0, {}};
        for (const std::string& text : texts)
            value.items.push_back({text, true, {}});
        return value;
    }

    friend bool operator==(const Value& a, const Value& b)
    {
        if (a.form != b.form || a.text != b.text || a.raw != b.raw || a.items.size() != b.items.size())
            return false;
        for (std::size_t index = 0; index < a.items.size(); ++index)
            if (a.items[index].text != b.items[index].text)
                return false;
        return true;
    }
};

// Why a value is refused, and where: at the value, or at one of its items.
struct Refusal {
    std::string reason;
    Position where;
};

} // namespace telvor
