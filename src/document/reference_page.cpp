#include "reference_page.h"

#include "setting_table.h"
#include "setting_value.h"
#include "settings_document.h"

#include "editors/basic_settings.h"
#include "editors/delay_text.h"
#include "editors/input_settings.h"

#include <array>

namespace telvor {
namespace {

struct Section {
    std::string_view name;
    std::string_view dialog; // the title of the editor's dialog
};

// The window's editor buttons, in their order.
constexpr std::array kSections = {
    Section{"basic", "Basic settings"},
    Section{"authorization", "Telephone number authorization"},
    Section{"inputs", "Input settings"},
    Section{"messages", "SMS / email message body"},
    Section{"outputs", "Configuration of the outputs"},
    Section{"scaling", "Scaling factors (S) for analog measurements"},
    Section{"csd_port", "Konfiguracja portu szeregowego (CSD)"},
    Section{"internet", "Internet access configuration"},
    Section{"email", "Settings of email notifications"},
    Section{"extended_lines", "Configuration of the extended lines"},
};

constexpr std::string_view kIntroduction = R"(A settings document is the settings image as YAML 1.2: every setting that
an editor shows or keeps, hidden controls included, named by a path and
written as the dialog shows it. `telvorctl export FILE` writes one,
`telvorctl import DOC.yaml... -o OUT.tvr` applies documents onto the factory
defaults (or `--base BASE`), `telvorctl set FILE PATH=VALUE...` changes single
settings, and every command that reads a settings file, and the window's
"Read from file", takes a `.yaml` or `.yml` document as the factory defaults
with the document applied.

## Form

- The document is one YAML mapping that begins with
  `format: telvor-settings 1`. Then come the editors in the order of the
  window's buttons, each a mapping of its settings; a path is the names
  joined by dots (`inputs.L2.low_threshold`).
- A document names as many settings as it likes. Applying it changes the
  settings it names and nothing else, so a template, a site's document and a
  device's document apply one after the other.
- Texts are strings, converted between UTF-8 and the device's Windows-1250.
  Control characters and the five bytes without a Windows-1250 character are
  written as escapes (`"\x81"`) and read back as the same bytes. A character
  Windows-1250 cannot store, a text longer than its field, and the
  characters 0x00 and 0xFF, which end a text, are refused. A text that equals
  the one the image shows leaves its field untouched, bytes after its end
  included.
- Numbers are integers; check boxes are `true` or `false`; hour lists are
  lists of hours (`[8, 12, 20]`); day sets, telephone numbers, inputs and
  recipients are lists of the captions of their boxes (`[Mo, Tu, D-o]`,
  `[1, 6, ANYONE]`); a choice among radio buttons or type boxes is the
  caption of the choice; a delay is the inputs editor's text (`"30s"`,
  `"5m"`).
- Thresholds are numbers in the unit of the type: millivolts for a plain
  voltage input, percent for RH and RR, degrees Celsius for T, D, TR and PT,
  the plain value for S. A threshold is stored raw: a document that changes
  an input's type and gives no threshold keeps the threshold's raw value;
  one that gives a threshold is read in the unit of the type the same
  document gives that input, or else of the type the image already has.
- `{raw: N}` stands wherever the dialog's form cannot carry the stored value
  exactly: a combination of bits no editor makes, a threshold that the
  unit's rounding would change, a code no choice names. N is the setting's
  bits as stored, those of its first field from bit 0 and those of a second
  field (in the table after a comma) from bit 8. Import takes `{raw: N}`
  anywhere a number or a choice goes.
- The bits of a byte that no editor keeps belong to the setting that owns
  the highest of that byte's other bits, so that the document holds them.
  Only the reserved stretches of the image, `OCFG7` and `OCFG8` (which no
  editor shows) and the bytes after a text's end have no path.
- An export applied onto the image it came from changes no byte; applied
  onto any other image, it gives an image whose export is the same document.

## Errors

A document with any error changes nothing. Every error is reported, one per
line, as `DOC:LINE:COLUMN: PATH: REASON`: malformed YAML, a key given twice,
an unknown path, a value of the wrong kind, out of its range, too long for its
field, or holding a character Windows-1250 cannot store. The reasons are the
editors' texts where they have one ("Please enter an integer between 0 and
255.", "Please enter no more than 16 characters.").
)";

std::string code(std::string_view text)
{
    return "`" + std::string(text) + "`";
}

std::string listed(std::span<const Choice> choices)
{
    std::string list;
    for (const Choice& choice : choices)
        list += (list.empty() ? "" : ", ") + code(choice.caption);
    return list;
}

std::string numbered(std::string_view pattern, std::string_view number)
{
    std::string text(pattern);
    if (const std::size_t mark = text.find('#'); mark != std::string::npos)
        text.replace(mark, 1, number);
    return text;
}

// "bit 7", "bits 0–2, 7".
std::string bitsText(std::uint32_t mask)
{
    std::string text;
    int count = 0;
    for (int bit = 0; bit < 32; ++bit) {
        if (!(mask >> bit & 1))
            continue;
        int last = bit;
        while (last + 1 < 32 && (mask >> (last + 1) & 1))
            ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(bit) + (last > bit ? "–" + std::to_string(last) : "");
        count += last - bit + 1;
        bit = last;
    }
    return (count == 1 ? "bit " : "bits ") + text;
}

std::string fieldText(const FieldPart& part)
{
    std::string name(part.key);
    if (part.index == FieldPart::kRowNumber)
        name += "<n>";
    else if (part.index != Field::kNotIndexed)
        name += std::to_string(part.index);
    if (part.part != 1)
        name += "." + std::to_string(part.part);
    std::string text = code(name);
    if (part.mask != FieldPart::kWholeField)
        text += " " + bitsText(part.mask);
    return text;
}

std::string storedText(const SettingRow& row)
{
    if (row.kind == SettingKind::BalanceCheckCode)
        return "`URL2`, `URL2.7`, `URL2.8`";
    std::string text = fieldText(row.field);
    if (!row.more.key.empty())
        text += ", " + fieldText(row.more);
    if (!row.unit.key.empty())
        text += " (unit from " + code(row.unit.key) + ")";
    return text;
}

std::string rangeText(ThresholdUnit unit)
{
    const auto [lowest, highest] = thresholdRange(unit);
    return lowest + " to " + highest;
}

std::string inputTypes()
{
    std::string list = code("none");
    for (const InputType type : kInputTypes) {
        std::string inputs;
        int count = 0;
        for (int input = 1; input <= kInputCount; ++input)
            if (inputHasTypeBox(input, type)) {
                inputs += (inputs.empty() ? "L" : ", L") + std::to_string(input);
                ++count;
            }
        list += ", " + code(inputTypeCaption(type)) + (count < kInputCount ? " (" + inputs + ")" : "");
    }
    return list;
}

std::string valueText(const SettingRow& row)
{
    switch (row.kind) {
    case SettingKind::Text:
        return "text, up to "
            + std::to_string(slot(row.field.key, row.field.index == FieldPart::kRowNumber ? row.first : row.field.index,
                                  row.field.part)
                                 .width)
            + " characters";
    case SettingKind::BalanceCheckCode:
        return "text, up to " + std::to_string(kBalanceCheckCodeLength) + " characters";
    case SettingKind::Number:
        return "integer " + std::to_string(row.minimum) + " to " + std::to_string(row.maximum);
    case SettingKind::CheckBox:
        // Where the setting also holds bits no editor keeps, say which is the box.
        if (row.field.mask != row.checked)
            return "`true` (" + bitsText(row.checked) + ") or `false`";
        return "`true` or `false`";
    case SettingKind::Choice:
        return "one of " + listed(row.choices);
    case SettingKind::InputType:
        return "one of " + inputTypes();
    case SettingKind::Members:
        return "list of " + listed(row.choices);
    case SettingKind::HourList:
        return "list of hours 0 to 23";
    case SettingKind::Delay:
        return "text: seconds (`30s`, 0 to " + std::to_string(largestDelayCount(DelayUnit::Seconds))
            + "), minutes (`5m`, 0 to " + std::to_string(largestDelayCount(DelayUnit::Minutes))
            + ") or hours (`2h`, 0 to " + std::to_string(largestDelayCount(DelayUnit::Hours)) + ")";
    case SettingKind::InputThreshold:
        return "number: mV " + rangeText(ThresholdUnit::Millivolts) + " (none), % " + rangeText(ThresholdUnit::Percent)
            + " (RH, RR), °C " + rangeText(ThresholdUnit::Degrees) + " (T, D, TR, PT), "
            + rangeText(ThresholdUnit::Plain) + " (S)";
    case SettingKind::LineThreshold:
        return "number: mV " + rangeText(ThresholdUnit::Millivolts) + " (none), % " + rangeText(ThresholdUnit::Percent)
            + " (RH), °C " + rangeText(ThresholdUnit::Degrees) + " (T/D)";
    }
    return {};
}

std::string pathText(const SettingRow& row)
{
    std::string text = code(numbered(row.path, "<n>"));
    if (row.first != row.last)
        text += " (n = " + std::to_string(row.first) + " to " + std::to_string(row.last) + ")";
    return text;
}

} // namespace

std::string referencePage()
{
    std::string page = "# Settings documents\n\n"
                       "<!-- Made from src/document/setting_table.cpp by build/tools/settings-document-page;"
                       " do not edit. -->\n\n";
    page += kIntroduction;
    page += "\n## Paths\n";
    for (const Section& section : kSections) {
        page += "\n### `" + std::string(section.name) + "`: " + std::string(section.dialog) + "\n\n";
        page += "| Path | Caption | Value | Stored in | Meaning |\n|---|---|---|---|---|\n";
        for (const SettingRow& row : settingRows()) {
            if (!row.path.starts_with(std::string(section.name) + "."))
                continue;
            page += "| " + pathText(row) + " | " + numbered(row.caption, "*n*") + " | " + valueText(row) + " | "
                + storedText(row) + " | " + numbered(row.meaning, "*n*") + " |\n";
        }
    }
    return page;
}

} // namespace telvor
