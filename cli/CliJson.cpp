#include "cli/CliJson.h"

#include "keymap/KeyMap.h"
#include "keymap/KeyMapWriter.h"

#include <cstdio>

std::string Hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value & 0xFFFFu);
    return text;
}

nlohmann::json OrNull(const std::string &text)
{
    return text.empty() ? nlohmann::json() : nlohmann::json(text);
}

nlohmann::json JsonOfErrorCode(CliError error)
{
    return error == CliError::None ? nlohmann::json() : nlohmann::json(ErrorCodeOf(error).word);
}

namespace {
std::string RecordBytes(const KeyRecord &record)
{
    char text[12];
    std::snprintf(text, sizeof text, "%02x %02x %02x", record[0], record[1], record[2]);
    return text;
}

nlohmann::json KeyNames(const std::vector<int> &keys)
{
    nlohmann::json names = nlohmann::json::array();
    for (const int key : keys)
        names.push_back(KeyName(key));
    return names;
}
} // namespace

nlohmann::json JsonOfInterfaces(const std::vector<ListedInterface> &interfaces)
{
    nlohmann::json list = nlohmann::json::array();
    for (const ListedInterface &listed : interfaces) {
        const char *open = listed.opens ? "opens" : listed.denied ? "denied" : listed.tried ? "failed"
                                                : listed.searchOrder < 0 ? "not_used" : "not_tried";
        list.push_back({{"vendor_id", Hex4(listed.info.vendor_id)},
                        {"product_id", Hex4(listed.info.product_id)},
                        {"interface", listed.info.interface_number},
                        {"node", listed.info.path},
                        {"serial", OrNull(listed.info.serial)},
                        {"open", open},
                        {"open_error", listed.tried && !listed.denied ? OrNull(listed.openError) : nullptr}});
    }
    return {{"interfaces", list}};
}

nlohmann::json JsonOfModule(const std::string &node, const std::string &serial, const ModuleSnapshot &module,
                            int keyCount)
{
    return {{"node", node},
            {"serial", OrNull(serial)},
            {"work_mode", module.parameters.workMode},
            {"trigger_level", module.triggerLevel},
            {"key_count", keyCount}};
}

nlohmann::json JsonOfDifferences(const std::vector<ConfigDifference> &differences)
{
    nlohmann::json list = nlohmann::json::array();
    for (const ConfigDifference &difference : differences)
        list.push_back({{"item", difference.item}, {"expected", difference.expected}, {"actual", difference.actual}});
    return list;
}

nlohmann::json JsonOfVerify(const VerifyReport &report)
{
    return {{"matches", report.Matches()},
            {"compared_keys", report.comparedKeys},
            {"differences", JsonOfDifferences(report.differences)},
            {"unreadable_keys", KeyNames(report.unreadableKeys)}};
}

nlohmann::json JsonOfDump(const KeyMap &map, const ModuleSnapshot &module)
{
    nlohmann::json keys = nlohmann::json::array();
    for (const KeyMapEntry &entry : map.keys) {
        keys.push_back({{"key", KeyName(entry.keyIndex)},
                        {"line", FormatKeyLine(entry)},
                        {"text", entry.text},
                        {"record", RecordBytes(entry.record)}});
    }
    std::vector<int> unreadable;
    for (int key = module.ReadableKeys(); key < module.keyCount; ++key)
        unreadable.push_back(key);
    return {{"parameters",
             {{"long_press", LongPressWord(module.parameters.longPress)},
              {"debounce", module.parameters.debounce},
              {"work_mode", module.parameters.workMode},
              {"baud", module.parameters.baud}}},
            {"key_count", module.keyCount},
            {"keys", keys},
            {"unreadable_keys", KeyNames(unreadable)}};
}

std::string JsonText(const nlohmann::json &value)
{
    return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string JsonResult(nlohmann::json result, int exitStatus, CliError error, const std::vector<UserText> &messages)
{
    std::string text;
    for (const UserText &message : messages)
        text += (text.empty() ? "" : "; ") + ComposeText(message);
    if (!result.is_object())
        result = nlohmann::json::object();
    result["ok"] = exitStatus == 0;
    result["exit"] = exitStatus;
    result["error_code"] = JsonOfErrorCode(error);
    result["error"] = OrNull(text);
    return JsonText(result);
}
