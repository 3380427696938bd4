#include "fleet/fleet_plan.h"

#include "fleet/csv_table.h"
#include "fleet/plan_targets.h"

#include "document/document_file.h"
#include "document/setting_table.h"
#include "document/settings_document.h"
#include "image/settings_file.h"
#include "link/target_text.h"

#include <filesystem>
#include <map>
#include <optional>
#include <set>

namespace telvor {

namespace {

// A plan of many thousand rows stays far below this.
constexpr std::size_t kPlanSizeLimit = 64 << 20;

constexpr std::string_view kTargetColumn = "target";
constexpr std::string_view kTemplateColumn = "template";
constexpr std::string_view kNameColumn = "name";

// Where each column stands in a row.
struct PlanColumns {
    std::optional<std::size_t> target;
    std::optional<std::size_t> templateFile;
    std::optional<std::size_t> name;
    // The settings, by their document paths.
    std::vector<std::pair<std::size_t, std::string>> settings;
};

// A template as read once for every row that names it.
struct LoadedTemplate {
    std::optional<SettingsImage> image;
    std::string failure;
    // The errors of a document, named once.
    std::vector<std::string> documentErrors;
};

std::string withoutBlanksAround(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool holdsLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

class PlanChecker {
public:
    PlanChecker(const std::string& plan, const std::string& serialDeviceFormat)
        : m_plan(plan)
        , m_folder(std::filesystem::path(plan).parent_path())
        , m_serialDeviceFormat(serialDeviceFormat)
    {
    }

    CheckedPlan check()
    {
        std::string content;
        const SettingsFileResult read = readSettingsContent(m_plan, content, kPlanSizeLimit);
        if (!read.ok) {
            fileError(read.reason);
            return std::move(m_result);
        }
        auto table = readCsv(content);
        if (const CsvError* error = std::get_if<CsvError>(&table)) {
            lineError(error->line, error->reason);
            return std::move(m_result);
        }
        const std::vector<CsvRecord>& records = std::get<CsvTable>(table).records;
        if (records.empty()) {
            fileError("no header line");
            return std::move(m_result);
        }
        if (!readHeader(records.front()))
            return std::move(m_result);
        for (auto record = records.begin() + 1; record != records.end(); ++record)
            checkRow(*record);
        if (!m_result.errors.empty())
            m_result.devices.clear();
        return std::move(m_result);
    }

private:
    void fileError(const std::string& reason) { m_result.errors.push_back(m_plan + ": " + reason); }
    void lineError(int line, const std::string& reason)
    {
        m_result.errors.push_back(m_plan + ":" + std::to_string(line) + ": " + reason);
    }
    void cellError(int line, std::string_view column, const std::string& reason)
    {
        lineError(line, std::string(column) + ": " + reason);
    }

    bool readHeader(const CsvRecord& header)
    {
        const std::size_t errorsBefore = m_result.errors.size();
        std::set<std::string> seen;
        for (std::size_t index = 0; index < header.fields.size(); ++index) {
            const std::string column = withoutBlanksAround(header.fields[index]);
            m_columnNames.push_back(column);
            if (column.empty()) {
                lineError(header.line, "column " + std::to_string(index + 1) + " has no name");
                continue;
            }
            if (!seen.insert(column).second) {
                cellError(header.line, column, "the column is given twice");
                continue;
            }
            if (column == kTargetColumn)
                m_columns.target = index;
            else if (column == kTemplateColumn)
                m_columns.templateFile = index;
            else if (column == kNameColumn)
                m_columns.name = index;
            else if (findSetting(column))
                m_columns.settings.emplace_back(index, column);
            else
                cellError(header.line, column, "unknown setting");
        }
        if (!m_columns.target)
            lineError(header.line, "no target column");
        if (!m_columns.templateFile)
            lineError(header.line, "no template column");
        return m_result.errors.size() == errorsBefore;
    }

    void checkRow(const CsvRecord& row)
    {
        if (row.fields.size() != m_columnNames.size()) {
            lineError(row.line,
                      std::to_string(row.fields.size()) + (row.fields.size() == 1 ? " field" : " fields")
                          + " where the header has " + std::to_string(m_columnNames.size()));
            return;
        }
        const std::size_t errorsBefore = m_result.errors.size();
        for (std::size_t index = 0; index < row.fields.size(); ++index)
            if (holdsLineBreak(row.fields[index]))
                cellError(row.line, m_columnNames[index],
                          m_columns.target == index || m_columns.templateFile == index || m_columns.name == index
                              ? "holds a line break"
                              : "holds a line break, which the device cannot keep: its lines end at CR and it "
                                "passes over LF");
        PlannedDevice device;
        device.line = row.line;
        if (m_columns.name)
            device.name = row.fields[*m_columns.name];
        const bool reached = checkTarget(row, device);
        const LoadedTemplate* loaded = templateOf(row);
        if (m_result.errors.size() != errorsBefore || !reached || !loaded || !loaded->image)
            return;
        SettingsImage image = *loaded->image;
        if (!applyCells(row, image))
            return;
        device.differingSettings = countDifferingSettings(*loaded->image, image);
        device.image = image;
        m_result.devices.push_back(std::move(device));
    }

    bool checkTarget(const CsvRecord& row, PlannedDevice& device)
    {
        const std::string& text = row.fields[*m_columns.target];
        if (text.empty()) {
            cellError(row.line, kTargetColumn, "empty");
            return false;
        }
        const std::optional<Endpoint> endpoint = endpointOfTarget(text, m_serialDeviceFormat);
        if (!endpoint) {
            cellError(row.line, kTargetColumn,
                      "not a target: \"" + text + "\"; write tcp:HOST[:PORT], com:N or serial:PATH");
            return false;
        }
        device.endpoint = *endpoint;
        device.target = targetText(*endpoint, m_serialDeviceFormat);
        const PlanTargetKey key = planTargetKey(*endpoint, m_serialDeviceFormat);
        if (key.text.empty()) {
            cellError(row.line, kTargetColumn, text + " names no serial port");
            return false;
        }
        const auto [earlier, first] = m_targetLines.emplace(key.text, row.line);
        if (!first) {
            cellError(row.line, kTargetColumn,
                      text + (key.serial ? " is the serial port of line " : " is the target of line ")
                          + std::to_string(earlier->second) + " too");
            return false;
        }
        return true;
    }

    const LoadedTemplate* templateOf(const CsvRecord& row)
    {
        const std::string& cell = row.fields[*m_columns.templateFile];
        if (cell.empty()) {
            cellError(row.line, kTemplateColumn, "empty");
            return nullptr;
        }
        const std::string path = (m_folder / cell).string();
        auto [found, added] = m_templates.try_emplace(path);
        LoadedTemplate& loaded = found->second;
        if (added)
            loadTemplate(path, loaded);
        if (!loaded.image) {
            m_result.errors.insert(m_result.errors.end(), loaded.documentErrors.begin(), loaded.documentErrors.end());
            loaded.documentErrors.clear();
            cellError(row.line, kTemplateColumn, path + ": " + loaded.failure);
        }
        return &loaded;
    }

    static void loadTemplate(const std::string& path, LoadedTemplate& loaded)
    {
        SettingsImage image;
        const DocumentFileResult read = readSettingsOrDocument(path, image);
        if (read.file.ok) {
            loaded.image = image;
            return;
        }
        loaded.failure = read.file.reason;
        for (const DocumentError& error : read.errors)
            loaded.documentErrors.push_back(errorLine(path, error));
    }

    bool applyCells(const CsvRecord& row, SettingsImage& image)
    {
        // A refusal names the setting's path, which is its column's name.
        std::vector<std::string> assignments;
        for (const auto& [index, path] : m_columns.settings)
            if (!row.fields[index].empty())
                assignments.push_back(path + "=" + row.fields[index]);
        const std::vector<DocumentError> errors = applyAssignments(assignments, image);
        for (const DocumentError& error : errors)
            cellError(row.line, error.path, error.reason);
        return errors.empty();
    }

    std::string m_plan;
    std::filesystem::path m_folder;
    std::string m_serialDeviceFormat;
    std::vector<std::string> m_columnNames;
    PlanColumns m_columns;
    std::map<std::string, LoadedTemplate> m_templates;
    // The line of the first row on each target.
    std::map<std::string, int> m_targetLines;
    CheckedPlan m_result;
};

} // namespace

CheckedPlan checkPlan(const std::string& plan, const std::string& serialDeviceFormat)
{
    return PlanChecker(plan, serialDeviceFormat).check();
}

} // namespace telvor
