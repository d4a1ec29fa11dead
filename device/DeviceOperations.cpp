#include "device/DeviceOperations.h"

#include "common/ControlIds.h"
#include "common/DlgControls.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "device/DeviceLink.h"
#include "device/ModuleSearch.h"
#include "keymap/ModuleConfig.h"
#include "pages/KeyPage.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace {
constexpr const char *kModuleName = "KORVA SB V2.2";
constexpr const char *kInvalidModule = QT_TRANSLATE_NOOP("Tavrin", "此模块非法，请检查！");
constexpr const char *kNoKeyChosen = QT_TRANSLATE_NOOP("Tavrin", "未选择按键，请先查找模块并选择按键！");
constexpr const char *kArrived = QT_TRANSLATE_NOOP("Tavrin", "模块已插入：%1（%2），%3 个按键");
constexpr const char *kReturned =
    QT_TRANSLATE_NOOP("Tavrin", "模块已重新插入：%1（%2），%3 个按键，所选按键和参数不变");
constexpr const char *kArrivedNotValid = QT_TRANSLATE_NOOP("Tavrin", "模块已插入：%1，但查询失败：%2");
constexpr const char *kArrivedNotOpened = QT_TRANSLATE_NOOP("Tavrin", "模块已插入，但无法打开：%1");
constexpr const char *kRemoved = QT_TRANSLATE_NOOP("Tavrin", "模块已拔出：%1（%2），设备操作按钮已禁用");
constexpr const char *kUnplugged = QT_TRANSLATE_NOOP("Tavrin", "%1（已拔出）");

// %1 the factory configuration, %2 the parameters and keys that differ.
constexpr const char *kResetNotKept = QT_TRANSLATE_NOOP("Tavrin", "恢复出厂%1后重新查询：模块中与写入的不同：%2");

// How the log names a module: the module list's name, and its serial where it has one.
std::string ModuleName(const std::string &serial)
{
    return serial.empty() ? std::string(kModuleName) : std::string(kModuleName) + " " + serial;
}

// The controls a query sets that the user may have chosen otherwise.
constexpr int kChoices[] = {MainId::kKeyList, MainId::kWorkMode, MainId::kTriggerLevel};

std::uint8_t SelectionByte(const IDlgControls &controls, int id)
{
    return static_cast<std::uint8_t>(controls.GetCurSel(id));
}
} // namespace

CDeviceOperations::CDeviceOperations(CDeviceLink &link, IDlgControls &controls) : m_link(link), m_controls(controls) {}

void CDeviceOperations::SetKeyCount(int keyCount)
{
    const BoundedKeyCount count = ModuleKeyCount(keyCount);
    m_nKeyCount = count.count;
    m_nClampedFrom = count.clamped ? keyCount : m_nKeyCount;
}

void CDeviceOperations::SetPages(PageLookup pages, CurrentPage currentPage)
{
    m_pages = std::move(pages);
    m_currentPage = std::move(currentPage);
}

void CDeviceOperations::SetLog(LogLine addLogLine)
{
    m_addLogLine = std::move(addLogLine);
}

void CDeviceOperations::FindModule()
{
    m_valid.reset();
    ::FindModule(m_link, m_controls, [this] { QueryModule(); });
}

bool CDeviceOperations::ModuleArrived(bool returning)
{
    if (m_link.IsOpen())
        return false;
    m_valid.reset();
    // What the operations would show goes into the log line instead.
    const CMessageRecorder shown(false);
    const SearchResult result = SearchModule(m_link, m_controls);
    if (result.status != SearchStatus::Opened) {
        const bool refused = result.status == SearchStatus::Absent && !result.refusedError.empty();
        AddLogLine(TranslateText(
            {kArrivedNotOpened, {refused ? result.refusedError : TranslateText({SearchFailureText(result.status), {}})}}));
        return false;
    }
    int choices[std::size(kChoices)];
    std::transform(std::begin(kChoices), std::end(kChoices), choices, [&](int id) { return m_controls.GetCurSel(id); });
    QueryModule();
    if (!m_valid && !shown.Texts().empty()) {
        AddLogLine(TranslateText({kArrivedNotValid, {m_link.OpenPath(), TranslateText(shown.Texts().front())}}));
        return false;
    }
    if (returning && ListedKeys() > 0) {
        for (std::size_t i = 0; i < std::size(kChoices); ++i)
            m_controls.SetCurSel(kChoices[i], choices[i]);
    }
    AddLogLine(TranslateText({returning ? kReturned : kArrived,
                              {ModuleName(m_link.OpenSerial()), m_link.OpenPath(), std::to_string(ListedKeys())}}));
    return ListedKeys() > 0;
}

void CDeviceOperations::ModuleRemoved(const std::string &serial, const std::string &node)
{
    m_link.Close();
    m_valid.reset();
    EnableDeviceButtons(m_controls, false);
    m_controls.ResetContent(MainId::kModuleName);
    m_controls.AddString(MainId::kModuleName, TranslateText({kUnplugged, {kModuleName}}));
    m_controls.SetCurSel(MainId::kModuleName, 0);
    AddLogLine(TranslateText({kRemoved, {ModuleName(serial), node}}));
}

void CDeviceOperations::AddLogLine(const std::string &line) const
{
    if (m_addLogLine)
        m_addLogLine(line);
}

void CDeviceOperations::QueryModule()
{
    m_valid = ReadModule(m_link, m_nKeyCount).valid;
    if (!m_valid) {
        ShowMessage(kInvalidModule);
        return;
    }
    const ModuleSnapshot &module = m_valid->Snapshot();
    m_controls.ResetContent(MainId::kModuleName);
    m_controls.AddString(MainId::kModuleName, kModuleName);
    m_controls.SetCurSel(MainId::kModuleName, 0);
    m_controls.SetCurSel(MainId::kWorkMode, module.parameters.workMode);
    m_controls.ResetContent(MainId::kKeyList);
    m_controls.SetCurSel(MainId::kBaudRate, 0);
    m_controls.EnableWindow(MainId::kBaudRate, false);
    for (int index = 0; index < m_nKeyCount; ++index)
        m_controls.AddString(MainId::kKeyList, KeyName(index));
    m_controls.SetCurSel(MainId::kKeyList, 0);
    m_controls.SetCurSel(MainId::kTriggerLevel, module.triggerLevel);
    if (m_queried)
        m_queried();
    if (m_nClampedFrom != m_nKeyCount && m_addLogLine) {
        m_addLogLine(TranslateText({kKeyCountClamped, {std::to_string(m_nClampedFrom), std::to_string(m_nKeyCount)}}));
        m_nClampedFrom = m_nKeyCount; // said once
    }
}

ModuleParameters ParametersOfControls(const IDlgControls &controls)
{
    return {SelectionByte(controls, MainId::kBaudRate), SelectionByte(controls, MainId::kWorkMode),
            SelectionByte(controls, MainId::kLongPress), AtoiRule(controls.GetDlgItemText(MainId::kDebounce))};
}

ModuleParameters CDeviceOperations::ControlParameters() const
{
    return ParametersOfControls(m_controls);
}

void CDeviceOperations::WriteParameters()
{
    if (!m_valid) {
        ShowMessage(kInvalidModule);
        return;
    }
    const ParameterWrite written = ::WriteParameters(m_link, *m_valid, ControlParameters());
    if (written.result == WriteResult::Refused)
        ShowMessage(DebounceRefusal(written.refusal));
    else if (written.result == WriteResult::Done)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", " 配置写入完成"));
    else
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "配置写入失败"));
}

void CDeviceOperations::ShowParameters(const ModuleParameters &parameters)
{
    m_controls.SetCurSel(MainId::kLongPress, parameters.longPress);
    m_controls.SetDlgItemText(MainId::kDebounce, std::to_string(parameters.debounce));
}

void CDeviceOperations::RunFactoryReset(int number)
{
    static constexpr const char *kDone[] = {QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1设置完成"),
                                            QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2设置完成")};
    static constexpr const char *kFailed[] = {QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1失败"),
                                              QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2失败")};
    const FactoryResetResult result = FactoryReset(m_link, number);
    if (result.module != QueryStatus::Valid) {
        ShowMessage(kInvalidModule);
        return;
    }
    if (result.parametersWritten) {
        const ModuleParameters parameters = FactoryParameters(FactoryConfigOf(number));
        m_controls.SetCurSel(MainId::kBaudRate, parameters.baud);
        m_controls.SetCurSel(MainId::kWorkMode, parameters.workMode);
        m_controls.SetCurSel(MainId::kTriggerLevel, 0);
        ShowParameters(parameters);
    }
    ShowMessage((result.keysWritten ? kDone : kFailed)[number == 2 ? 1 : 0]);
    if (!result.keysWritten)
        return;
    // The box ran a loop of its own: the search that follows is for the module that was reset.
    if (m_stillThere && !m_stillThere()) {
        ShowMessage(SearchFailureText(SearchStatus::Absent));
        return;
    }
    FindModule();
    // Acknowledged writes are not kept ones: the query after them tells, in one log line.
    if (m_valid)
        LogResetDifferences(number, FactoryResetDifferences(number, m_valid->Snapshot()));
}

void CDeviceOperations::LogResetDifferences(int number, const std::vector<ConfigDifference> &differences) const
{
    if (differences.empty())
        return;
    std::string items;
    for (const ConfigDifference &difference : differences)
        items += (items.empty() ? "" : ", ") + difference.item;
    AddLogLine(TranslateText({kResetNotKept, {std::to_string(number), items}}));
}

void CDeviceOperations::FactoryReset1()
{
    RunFactoryReset(1);
}

void CDeviceOperations::FactoryReset2()
{
    RunFactoryReset(2);
}

void CDeviceOperations::SetKeyWritten(KeyWritten keyWritten)
{
    m_keyWritten = std::move(keyWritten);
}

void CDeviceOperations::LogKeyWritten(int keyIndex, const KeyRecord &record, const std::string &text)
{
    AddLogLine(KeyLogLine(keyIndex, text));
    if (m_keyWritten)
        m_keyWritten(keyIndex, record, text);
}

void CDeviceOperations::WriteKey()
{
    // Only a key that a valid query listed: after an invalid reply the list still holds the
    // template's blank item, which must not pass for KEY-1.
    const int selection = m_controls.GetCurSel(MainId::kKeyList);
    if (!m_valid || selection < 0) {
        ShowMessage(kNoKeyChosen);
        return;
    }
    const int kind = m_currentPage ? m_currentPage() : 0;
    IKeyPage *page = m_pages ? m_pages(static_cast<PageKind>(kind)) : nullptr;
    if (!page) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "当前页面不可用，键值未写入！"));
        return;
    }
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    std::optional<UserText> refusal;
    const std::string text = page->GetKeyAssignment(value1, value2, refusal);
    // A refused entry is not written; the page says why.
    if (refusal) {
        ShowMessage(*refusal);
        return;
    }
    const KeyRecord record = MakeKeyRecord(selection, static_cast<PageKind>(kind), value1, value2);
    switch (SendKeyRecord(m_link, *m_valid, selection, record)) {
    case WriteResult::Done:
        LogKeyWritten(selection, record, text);
        break;
    case WriteResult::Refused:
        ShowMessage(kNoKeyChosen);
        break;
    case WriteResult::Failed:
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设置失败!!"));
        break;
    }
}
