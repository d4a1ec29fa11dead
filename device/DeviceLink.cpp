#include "device/DeviceLink.h"

#include "common/MessageSink.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>

CDeviceLink::CDeviceLink(IHidBackend &backend) : m_backend(backend) {}

CDeviceLink::~CDeviceLink()
{
    Close();
}

void CDeviceLink::Close()
{
    if (m_hDevice) {
        m_backend.Close(m_hDevice);
        m_hDevice = nullptr;
    }
    m_strPath.clear();
    m_strSerial.clear();
}

std::vector<ModuleInterface> ListModuleInterfaces(IHidBackend &backend, const ModuleChoice &choice)
{
    std::vector<ModuleInterface> result;
    // Vendor and product 0 list every HID interface: one walk instead of one per search entry.
    for (const HidDeviceInfo &info : backend.Enumerate(0, 0)) {
        const bool listed = std::any_of(std::begin(kSearchList), std::end(kSearchList), [&](const auto &id) {
            return id.vendorId == info.vendor_id && id.productId == info.product_id;
        });
        if (listed && !info.path.empty() && choice.Accepts(info))
            result.push_back({info, -1});
    }
    for (int order = 0; order < static_cast<int>(std::size(kSearchList)); ++order) {
        const ModuleInterfaceId &id = kSearchList[order];
        const auto match = std::find_if(result.begin(), result.end(), [&](const ModuleInterface &candidate) {
            return candidate.searchOrder < 0 && candidate.info.vendor_id == id.vendorId &&
                   candidate.info.product_id == id.productId && candidate.info.interface_number == id.interfaceNumber;
        });
        if (match != result.end())
            match->searchOrder = order;
    }
    return result;
}

OpenedInterface OpenInSearchOrder(IHidBackend &backend, const std::vector<ModuleInterface> &interfaces,
                            const std::function<void(const ModuleInterface &)> &failed)
{
    std::vector<const ModuleInterface *> order;
    for (const ModuleInterface &candidate : interfaces) {
        if (candidate.searchOrder >= 0)
            order.push_back(&candidate);
    }
    std::sort(order.begin(), order.end(), [](auto *a, auto *b) { return a->searchOrder < b->searchOrder; });
    for (const ModuleInterface *candidate : order) {
        if (HidHandle device = backend.OpenPath(candidate->info.path))
            return {device, candidate->info.path, candidate->info.serial};
        if (failed)
            failed(*candidate);
    }
    return {};
}

SearchResult CDeviceLink::Search()
{
    SearchResult result;
    result.initFailed = m_backend.Init() != 0;
    Close();
    m_bAccessDenied = false;
    OpenedInterface opened = OpenInSearchOrder(m_backend, ListModuleInterfaces(m_backend, m_choice),
                                               [&](const ModuleInterface &candidate) {
        m_bAccessDenied = m_bAccessDenied || m_backend.LastOpenDenied();
        if (result.refusedPath.empty()) {
            result.refusedPath = candidate.info.path;
            result.refusedError = m_backend.Error(nullptr);
        }
    });
    m_hDevice = opened.device;
    m_strPath = std::move(opened.path);
    m_strSerial = std::move(opened.serial);
    result.status = m_hDevice ? SearchStatus::Opened : m_bAccessDenied ? SearchStatus::AccessDenied : SearchStatus::Absent;
    return result;
}

bool CDeviceLink::OpenModule()
{
    const SearchResult result = Search();
    if (result.initFailed)
        ShowMessage(QT_TRANSLATE_NOOP("Tavrin", "设备初始化失败"));
    return result.status == SearchStatus::Opened;
}

int CDeviceLink::WritePadded(const std::uint8_t *data, std::size_t length)
{
    if (length >= kOutputReportSize)
        return m_backend.Write(m_hDevice, data, length);
    std::array<std::uint8_t, kOutputReportSize> report{};
    std::copy_n(data, length, report.begin());
    return m_backend.Write(m_hDevice, report.data(), report.size());
}

void ShowTransportFailure(TransportFailure failure)
{
    static constexpr const char *kTexts[] = {
        QT_TRANSLATE_NOOP("Tavrin", "写命令错误，请检查模块是否在线，或者重新点击查找设备再试。"),
        QT_TRANSLATE_NOOP("Tavrin", "写数据错误"),
        QT_TRANSLATE_NOOP("Tavrin", "读数据错误"),
    };
    ShowMessage(kTexts[static_cast<int>(failure)]);
}

int CDeviceLink::Fail(TransportFailure failure, int result)
{
    if (m_report)
        m_report(failure);
    return result;
}

int CDeviceLink::SendCommand(CommandBlock block, std::uint8_t *data)
{
    // Without an open handle the block cannot go out: the same failure as an unplugged module.
    int result = m_hDevice ? WritePadded(block.bytes.data(), block.bytes.size()) : -1;
    if (result < 0)
        return Fail(TransportFailure::CommandWrite, result);
    std::uint32_t remaining = block.DataLength();
    std::uint8_t *position = data;
    while (remaining != 0) {
        const std::size_t piece = std::min<std::size_t>(remaining, kPieceSize);
        remaining -= static_cast<std::uint32_t>(piece);
        if (block.Direction() == kDirToModule) {
            result = WritePadded(position, piece);
            if (result < 0)
                return Fail(TransportFailure::DataWrite, result);
        } else {
            result = m_backend.ReadTimeout(m_hDevice, position, piece, kReadTimeoutMs);
            if (result < 0)
                return Fail(TransportFailure::DataRead, result);
            // A report cut short is no reply, as no report at all is: its missing bytes would be
            // read as zeros.
            if (static_cast<std::size_t>(result) < piece)
                return 0;
        }
        position += piece;
    }
    return result;
}
