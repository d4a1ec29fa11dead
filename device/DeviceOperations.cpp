#include "device/DeviceOperations.h"

#include "common/ControlIds.h"
#include "common/DlgControls.h"
#include "common/MessageSink.h"
#include "common/TextNumber.h"
#include "device/DeviceLink.h"
#include "device/ModuleSearch.h"
#include "pages/KeyPage.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace {
constexpr std::uint8_t kValidMarker = 0x5A;
constexpr std::uint32_t kParameterAddress = 2;
constexpr std::uint32_t kParameterLength = 13;
constexpr const char *kModuleName = "KORVA SB V2.2";
// The module keeps the debounce time in one byte.
constexpr int kMinDebounce = 10;
constexpr int kMaxDebounce = 255;

using ParameterBlock = std::array<std::uint8_t, kParameterLength>;

// Parameter bytes 7 and 9 have no control; both factory configurations put these values there,
// so writing the parameters keeps the module's own defaults.
ParameterBlock MakeParameterBlock(std::uint8_t baud, std::uint8_t workMode, std::uint8_t longPress,
                                  std::uint8_t debounce)
{
    return {0x00, baud, workMode, 0x00, 0x00, longPress, 0x00, 0x80, 0x00, 0x38, 0x00, debounce, 0x00};
}

std::uint8_t SelectionByte(const IDlgControls &controls, int id)
{
    return static_cast<std::uint8_t>(controls.GetCurSel(id));
}

std::string KeyName(int number)
{
    char text[16];
    std::snprintf(text, sizeof text, "KEY-%d", number);
    return text;
}
} // namespace

// One factory configuration: its parameter block, its key records and its texts.
struct CDeviceOperations::FactoryReset {
    ParameterBlock parameters;
    std::vector<std::uint8_t> keyData; // report-ID byte and the records
    std::uint32_t keyDataLength;       // what the data phase carries of keyData
    const char *done;
    const char *failed;
};

CDeviceOperations::CDeviceOperations(CDeviceLink &link, IDlgControls &controls) : m_link(link), m_controls(controls) {}

void CDeviceOperations::SetKeyCount(int keyCount)
{
    m_nKeyCount = std::clamp(keyCount, 0, kMaxKeyCount);
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

int CDeviceOperations::Send(std::uint32_t dataLength, std::uint32_t address, std::uint8_t *data)
{
    return m_link.SendCommand(MakeWriteCommand(dataLength, address), data);
}

void CDeviceOperations::FindModule()
{
    ::FindModule(m_link, m_controls, [this] { QueryModule(); });
}

void CDeviceOperations::QueryModule()
{
    std::array<std::uint8_t, 128> reply{};
    // The reply decides, not the command's result: a failed or timed-out read leaves it zero.
    m_link.SendCommand(MakeQueryCommand(), reply.data());
    if (reply[0] != kValidMarker) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "此模块非法，请检查！"));
        return;
    }
    m_controls.ResetContent(MainId::kModuleName);
    m_controls.AddString(MainId::kModuleName, kModuleName);
    m_controls.SetCurSel(MainId::kModuleName, 0);
    m_controls.SetCurSel(MainId::kWorkMode, reply[3]);
    m_controls.ResetContent(MainId::kKeyList);
    m_controls.SetCurSel(MainId::kBaudRate, 0);
    m_controls.EnableWindow(MainId::kBaudRate, false);
    for (int number = 1; number <= m_nKeyCount; ++number)
        m_controls.AddString(MainId::kKeyList, KeyName(number));
    m_controls.SetCurSel(MainId::kKeyList, 0);
    m_controls.SetCurSel(MainId::kTriggerLevel, reply[5]);
}

void CDeviceOperations::WriteParameters()
{
    const int debounce = AtoiRule(m_controls.GetDlgItemText(MainId::kDebounce));
    if (debounce < kMinDebounce) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "注意，按键消抖值不能小于10 MS"));
        return;
    }
    if (debounce > kMaxDebounce) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "注意，按键消抖值不能大于255 MS"));
        return;
    }
    ParameterBlock block = MakeParameterBlock(
        SelectionByte(m_controls, MainId::kBaudRate), SelectionByte(m_controls, MainId::kWorkMode),
        SelectionByte(m_controls, MainId::kLongPress), static_cast<std::uint8_t>(debounce));
    if (Send(kParameterLength, kParameterAddress, block.data()) > 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", " 配置写入完成"));
    else
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "配置写入失败"));
}

void CDeviceOperations::RunFactoryReset(FactoryReset reset)
{
    const ParameterBlock &parameters = reset.parameters;
    if (Send(kParameterLength, kParameterAddress, reset.parameters.data()) > 0) {
        m_controls.SetCurSel(MainId::kBaudRate, parameters[1]);
        m_controls.SetCurSel(MainId::kWorkMode, parameters[2]);
        m_controls.SetCurSel(MainId::kTriggerLevel, 0);
        m_controls.SetCurSel(MainId::kLongPress, 1);
        m_controls.SetDlgItemText(MainId::kDebounce, "40");
    }
    if (Send(reset.keyDataLength, kKeyRecordBase, reset.keyData.data()) > 0) {
        ShowMessage(reset.done);
        FindModule();
    } else {
        ShowMessage(reset.failed);
    }
}

void CDeviceOperations::FactoryReset1()
{
    // Thirty records 0x03, 0x00, 0x3A + i, of which the data phase carries the first 30 bytes.
    std::vector<std::uint8_t> keyData(1 + 3 * 30, 0x00);
    for (std::size_t i = 0; i < 30; ++i) {
        keyData[1 + 3 * i] = 0x03;
        keyData[3 + 3 * i] = static_cast<std::uint8_t>(0x3A + i);
    }
    RunFactoryReset({MakeParameterBlock(0x00, 0x02, 0x01, 0x28), std::move(keyData), 30, QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1设置完成"), QT_TRANSLATE_NOOP("Tavrin", "恢复出厂1失败")});
}

void CDeviceOperations::FactoryReset2()
{
    // Four gamepad records 0x80, k, 0x00; the last byte reaches the module as report padding.
    std::vector<std::uint8_t> keyData(1 + 3 * 4, 0x00);
    for (std::size_t k = 1; k <= 4; ++k) {
        keyData[3 * k - 2] = 0x80;
        keyData[3 * k - 1] = static_cast<std::uint8_t>(k);
    }
    RunFactoryReset({MakeParameterBlock(0x02, 0x03, 0x01, 0x28), std::move(keyData), 12, QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2设置完成"), QT_TRANSLATE_NOOP("Tavrin", "恢复出厂2失败")});
}

void CDeviceOperations::WriteKey()
{
    const int selection = m_controls.GetCurSel(MainId::kKeyList);
    if (selection < 0 || selection >= kMaxKeyCount) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "未选择按键，请先查找模块并选择按键！"));
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
    bool refused = false;
    const std::string text = page->GetKeyAssignment(value1, value2, refused);
    // The page has already told the user why; a refused entry is not written.
    if (refused)
        return;

    const auto index = static_cast<std::uint8_t>(selection);
    std::array<std::uint8_t, 4> record{0x00, static_cast<std::uint8_t>((index & 0x3F) | (kind << 6)), value1, value2};
    if (Send(record.size(), kKeyRecordBase + 3u * index, record.data()) > 0) {
        if (m_addLogLine)
            m_addLogLine(KeyName(static_cast<std::uint8_t>(index + 1)) + " = " + text);
    } else {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设置失败!!"));
    }
}
