#include "device/DeviceLink.h"

#include "common/MessageSink.h"

#include <algorithm>
#include <array>

CDeviceLink::CDeviceLink(IHidBackend &backend) : m_backend(backend) {}

CDeviceLink::~CDeviceLink()
{
    CloseHandle();
}

void CDeviceLink::CloseHandle()
{
    if (m_hDevice) {
        m_backend.Close(m_hDevice);
        m_hDevice = nullptr;
    }
}

HidHandle CDeviceLink::OpenInterface(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber)
{
    const auto list = m_backend.Enumerate(vendorId, productId);
    const auto match = std::find_if(list.begin(), list.end(), [&](const HidDeviceInfo &info) {
        return info.vendor_id == vendorId && info.product_id == productId &&
               info.interface_number == interfaceNumber;
    });
    if (match == list.end() || match->path.empty())
        return nullptr;
    HidHandle device = m_backend.OpenPath(match->path);
    m_bAccessDenied = m_bAccessDenied || (!device && m_backend.LastOpenDenied());
    return device;
}

bool CDeviceLink::OpenModule()
{
    if (m_backend.Init() != 0)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    CloseHandle();
    m_bAccessDenied = false;
    for (const auto &id : kSearchList) {
        m_hDevice = OpenInterface(id.vendorId, id.productId, id.interfaceNumber);
        if (m_hDevice)
            return true;
    }
    return false;
}

int CDeviceLink::WritePadded(const std::uint8_t *data, std::size_t length)
{
    if (length >= kOutputReportSize)
        return m_backend.Write(m_hDevice, data, length);
    std::array<std::uint8_t, kOutputReportSize> report{};
    std::copy_n(data, length, report.begin());
    return m_backend.Write(m_hDevice, report.data(), report.size());
}

int CDeviceLink::SendCommand(CommandBlock block, std::uint8_t *data)
{
    // Without an open handle the block cannot go out: the same failure as an unplugged module.
    int result = m_hDevice ? WritePadded(block.bytes.data(), block.bytes.size()) : -1;
    if (result < 0) {
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "写命令错误，请检查模块是否在线，或者重新点击查找设备再试。"));
        return result;
    }
    std::uint32_t remaining = block.DataLength();
    std::uint8_t *position = data;
    while (remaining != 0) {
        const std::size_t piece = std::min<std::size_t>(remaining, kPieceSize);
        remaining -= static_cast<std::uint32_t>(piece);
        if (block.Direction() == kDirToModule) {
            result = WritePadded(position, piece);
            if (result < 0) {
                ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "写数据错误"));
                return result;
            }
        } else {
            result = m_backend.ReadTimeout(m_hDevice, position, piece, kReadTimeoutMs);
            if (result < 0) {
                ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "读数据错误"));
                return result;
            }
        }
        position += piece;
    }
    return result;
}
