// The rules that make documents trustworthy, over many random images with any
// byte anywhere: an export applied onto its own image changes no byte; applied
// onto any other image it gives that export again; a document that names some
// settings changes only those; and each editor's own changes stay within the
// settings of its part of the document.
#include "document/setting_table.h"
#include "document/setting_value.h"
#include "document/settings_document.h"

#include "editors/authorization.h"
#include "editors/basic_settings.h"
#include "editors/csd_serial_port.h"
#include "editors/email_notifications.h"
#include "editors/extended_lines.h"
#include "editors/input_settings.h"
#include "editors/internet_access.h"
#include "editors/message_bodies.h"
#include "editors/outputs.h"
#include "editors/scaling.h"

#include <gtest/gtest.h>

#include <yaml-cpp/yaml.h>

#include <functional>
#include <random>
#include <set>

namespace telvor {
namespace {

constexpr int kImages = 40;

// Three kinds of random image, so that every form of every setting comes up:
// bytes of any value; bytes that are mostly 0x00 or 0xFF, as texts and
// flags are; and few set bits, so that check boxes and choices take their
// dialog forms.
SettingsImage randomImage(std::mt19937& random, int kind)
{
    SettingsImage image;
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::uint8_t& value : image.bytes()) {
        const int draw = byte(random);
        switch (kind % 3) {
        case 0:
            value = static_cast<std::uint8_t>(draw);
            break;
        case 1:
            value = draw < 96 ? 0x00 : draw < 128 ? 0xFF : static_cast<std::uint8_t>(byte(random));
            break;
        default:
            value = draw < 200 ? 0 : static_cast<std::uint8_t>(1u << (draw % 8));
            break;
        }
    }
    return image;
}

TEST(DocumentRules, ExportAppliedOntoItsImageChangesNoByte)
{
    std::mt19937 random(1);
    for (int round = 0; round < kImages; ++round) {
        const SettingsImage image = randomImage(random, round);
        SettingsImage applied = image;
        const std::vector<DocumentError> errors = applyDocument(exportDocument(image), applied);
        ASSERT_TRUE(errors.empty()) << errorLine("export", errors.front());
        ASSERT_EQ(applied, image) << "round " << round;
    }
}

TEST(DocumentRules, ExportSaysEverythingItNames)
{
    std::mt19937 random(2);
    for (int round = 0; round < kImages; ++round) {
        const SettingsImage image = randomImage(random, round);
        SettingsImage other = randomImage(random, round + 1);
        const std::string document = exportDocument(image);
        const std::vector<DocumentError> errors = applyDocument(document, other);
        ASSERT_TRUE(errors.empty()) << errorLine("export", errors.front());
        ASSERT_EQ(exportDocument(other), document) << "round " << round;
    }
}

// Every byte offset that a setting's value lives in.
std::set<int> offsetsOf(const Setting& setting)
{
    std::set<int> offsets;
    const auto add = [&offsets](const Slot& field) {
        for (int offset = field.offset; offset < field.offset + field.width; ++offset)
            offsets.insert(offset);
    };
    add(setting.field);
    if (setting.more)
        add(*setting.more);
    if (setting.kind() == SettingKind::BalanceCheckCode) {
        add(slot("URL2", Field::kNotIndexed, 7));
        add(slot("URL2", Field::kNotIndexed, 8));
    }
    return offsets;
}

// The export with only the chosen settings left: a layer that names those.
std::string partialDocument(const std::string& document, const std::set<std::string>& kept)
{
    YAML::Node root = YAML::Load(document);
    YAML::Node layer;
    layer["format"] = root["format"];
    for (const Setting& setting : settings()) {
        if (!kept.contains(setting.path))
            continue;
        std::vector<std::string> names;
        for (std::size_t start = 0; start <= setting.path.size();) {
            const std::size_t dot = std::min(setting.path.find('.', start), setting.path.size());
            names.push_back(setting.path.substr(start, dot - start));
            start = dot + 1;
        }
        YAML::Node from = root;
        YAML::Node to = layer;
        for (std::size_t index = 0; index + 1 < names.size(); ++index) {
            from.reset(from[names[index]]);
            if (!to[names[index]])
                to[names[index]] = YAML::Node(YAML::NodeType::Map);
            to.reset(to[names[index]]);
        }
        to[names.back()] = from[names.back()];
    }
    return YAML::Dump(layer);
}

TEST(DocumentRules, LayerChangesOnlyTheSettingsItNames)
{
    std::mt19937 random(3);
    std::bernoulli_distribution chosen(0.1);
    for (int round = 0; round < kImages; ++round) {
        const SettingsImage source = randomImage(random, round);
        const SettingsImage target = randomImage(random, round + 2);
        std::set<std::string> named;
        for (const Setting& setting : settings()) {
            if (!chosen(random))
                continue;
            named.insert(setting.path);
            // A threshold is given in the unit of the type beside it.
            if (setting.kind() == SettingKind::InputThreshold)
                named.insert("inputs.L" + std::to_string(setting.number) + ".type");
            if (setting.kind() == SettingKind::LineThreshold)
                named.insert(setting.path.substr(0, setting.path.rfind('.')) + ".type");
        }
        SettingsImage layered = target;
        const std::vector<DocumentError> errors
            = applyDocument(partialDocument(exportDocument(source), named), layered);
        ASSERT_TRUE(errors.empty()) << errorLine("layer", errors.front());

        std::set<int> allowed;
        for (const Setting& setting : settings()) {
            if (named.contains(setting.path)) {
                EXPECT_EQ(shownValue(layered, setting), shownValue(source, setting)) << setting.path;
                const std::set<int> offsets = offsetsOf(setting);
                allowed.insert(offsets.begin(), offsets.end());
            } else if (!holdsText(setting.kind())) {
                EXPECT_EQ(settingBits(layered, setting), settingBits(target, setting)) << setting.path;
            }
        }
        for (int offset = 0; offset < static_cast<int>(kImageSize); ++offset) {
            if (layered.bytes()[offset] != target.bytes()[offset]) {
                ASSERT_TRUE(allowed.contains(offset)) << "round " << round << ", offset " << offset;
            }
        }
    }
}

// What an editor's OK without typing does to an image: its own fields, as
// the dialog rebuilds them.
struct EditorRun {
    const char* section;
    std::function<void(SettingsImage&)> okWithoutTyping;
};

template <typename Editor>
std::function<void(SettingsImage&)> unpackThenPack()
{
    return [](SettingsImage& image) {
        Editor editor;
        editor.unpack(image);
        if constexpr (std::is_same_v<Editor, Outputs>)
            editor.closedWithOk = 1;
        editor.pack(image);
    };
}

TEST(DocumentRules, EachEditorChangesOnlyItsOwnPartOfTheDocument)
{
    const EditorRun editors[] = {
        {"basic.", unpackThenPack<BasicSettings>()},      {"authorization.", unpackThenPack<Authorization>()},
        {"inputs.", unpackThenPack<InputSettings>()},     {"messages.", unpackThenPack<MessageBodies>()},
        {"outputs.", unpackThenPack<Outputs>()},          {"scaling.", unpackThenPack<Scaling>()},
        {"csd_port.", unpackThenPack<CsdSerialPort>()},   {"internet.", unpackThenPack<InternetAccess>()},
        {"email.", unpackThenPack<EmailNotifications>()}, {"extended_lines.", unpackThenPack<ExtendedLines>()},
    };
    std::mt19937 random(4);
    for (int round = 0; round < kImages; ++round) {
        const SettingsImage image = randomImage(random, round);
        for (const EditorRun& editor : editors) {
            SettingsImage edited = image;
            editor.okWithoutTyping(edited);
            for (const std::string& path : differingSettings(image, edited))
                EXPECT_TRUE(path.starts_with(editor.section)) << editor.section << " changed " << path;
            // What the dialog stores, its form carries: no {raw: N} is left
            // but where the dialog keeps a value it would refuse to take.
            for (const Setting& setting : settings()) {
                if (!setting.path.starts_with(editor.section) || setting.kind() == SettingKind::InputThreshold
                    || setting.kind() == SettingKind::LineThreshold || setting.path.starts_with("scaling."))
                    continue;
                EXPECT_NE(shownValue(edited, setting).form, Value::Form::Raw) << setting.path;
            }
        }
    }
}

} // namespace
} // namespace telvor
