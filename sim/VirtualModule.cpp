#include "sim/VirtualModule.h"

#include <algorithm>

namespace {
constexpr std::uint8_t kDirToModule = 0x03;
constexpr std::size_t kPiece = 64;

std::uint32_t LittleEndian32(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

std::uint32_t BigEndian32(const std::uint8_t *p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | std::uint32_t{p[3]};
}
} // namespace

CVirtualModule::CVirtualModule()
{
    m_memory[0] = kValidMarker;
}

bool CVirtualModule::IsPresent() const
{
    return !faults.absent && (faults.unplugAfterCalls < 0 || m_nCalls < faults.unplugAfterCalls);
}

// Counts one write or read; false when the module is gone by now.
bool CVirtualModule::CountCall()
{
    const bool present = IsPresent();
    ++m_nCalls;
    return present;
}

int CVirtualModule::Write(const std::uint8_t *report, std::size_t length)
{
    if (!CountCall())
        return -1;
    m_reports.emplace_back(report, report + length);
    const int index = m_nWrites++;
    if ((faults.failWritesFrom >= 0 && index >= faults.failWritesFrom) || index == faults.failWriteAt) {
        // The report never arrived: the command it belonged to is dropped.
        m_pendingBytes = 0;
        return -1;
    }
    return Accept(report, length) ? static_cast<int>(length) : -1;
}

bool CVirtualModule::Accept(const std::uint8_t *report, std::size_t length)
{
    if (length != kReportSize || report[0] != 0x00)
        return false;
    const std::uint8_t *payload = report + 1;
    if (m_pendingBytes > 0) {
        // A data piece: the bytes after its report-ID byte go to the setting memory.
        const std::uint32_t piece = std::min<std::uint32_t>(m_pendingBytes, kPiece);
        for (std::uint32_t i = 1; i < piece; ++i) {
            if (m_writeAddress < kMemorySize && !faults.forgetWrites)
                m_memory[m_writeAddress] = report[i];
            ++m_writeAddress;
        }
        m_pendingBytes -= piece;
        return true;
    }
    if (payload[0] != 'S' || payload[1] != 'B' || payload[2] != 'C')
        return false;
    // The block as the module sees it: hid_write's buffer without the report-ID byte, so the
    // fields sit one byte lower than in the 28-byte block.
    const std::uint32_t dataLength = LittleEndian32(payload + 3);
    const std::uint8_t direction = payload[7];
    const std::uint32_t address = BigEndian32(payload + 11);
    if (direction == kDirToModule) {
        m_pendingBytes = dataLength;
        m_writeAddress = address;
    } else if (!faults.readTimeout) {
        // A module that never answers queues nothing, so no stale reply surfaces once it answers again.
        QueueRead(address, dataLength);
    }
    return true;
}

void CVirtualModule::QueueRead(std::uint32_t address, std::uint32_t length)
{
    for (std::uint32_t done = 0; done < length; done += kPiece) {
        std::array<std::uint8_t, kInputSize> reply{};
        for (std::size_t i = 0; i < kInputSize; ++i) {
            const std::uint32_t at = address + done + static_cast<std::uint32_t>(i);
            reply[i] = at < kMemorySize ? m_memory[at] : 0;
        }
        m_input.push_back(reply);
    }
}

int CVirtualModule::Read(std::uint8_t *data, std::size_t length)
{
    if (!CountCall() || faults.failReads)
        return -1;
    if (faults.readTimeout || m_input.empty())
        return 0;
    const auto reply = m_input.front();
    m_input.pop_front();
    std::size_t n = std::min(length, reply.size());
    if (faults.cutReplies >= 0)
        n = std::min(n, static_cast<std::size_t>(faults.cutReplies));
    std::copy_n(reply.begin(), n, data);
    return static_cast<int>(n);
}
