#include "device/ModuleCommands.h"

#include "device/DeviceLink.h"

#include <algorithm>

namespace {
constexpr std::uint8_t kValidMarker = 0x5A;

int Send(CDeviceLink &link, std::uint32_t dataLength, std::uint32_t address, std::uint8_t *data)
{
    return link.SendCommand(MakeWriteCommand(dataLength, address), data);
}
} // namespace

ModuleReading ReadModule(CDeviceLink &link, int keyCount)
{
    std::array<std::uint8_t, 128> reply{};
    if (link.SendCommand(MakeQueryCommand(), reply.data()) <= 0)
        return {QueryStatus::NoReply, std::nullopt};
    if (reply[0] != kValidMarker)
        return {QueryStatus::Invalid, std::nullopt};
    std::array<std::uint8_t, kQueryLength> memory{};
    std::copy_n(reply.begin(), kQueryLength, memory.begin());
    return {QueryStatus::Valid, ValidQuery(DecodeModuleMemory(memory, keyCount))};
}

ParameterWrite WriteParameters(CDeviceLink &link, const ValidQuery &, const ModuleParameters &parameters)
{
    if (const DebounceCheck check = CheckDebounce(parameters.debounce); check != DebounceCheck::Ok)
        return {WriteResult::Refused, check};
    ParameterBlock block = MakeParameterBlock(parameters);
    return {Send(link, kParameterLength, kParameterAddress, block.data()) > 0 ? WriteResult::Done : WriteResult::Failed};
}

FactoryResetResult FactoryReset(CDeviceLink &link, int number)
{
    FactoryResetResult result;
    result.module = ReadModule(link, 0).status;
    if (result.module != QueryStatus::Valid)
        return result;
    const FactoryConfig &config = FactoryConfigOf(number);
    ParameterBlock block = MakeParameterBlock(config.parameters);
    result.parametersWritten = Send(link, kParameterLength, kParameterAddress, block.data()) > 0;
    // The key records go whatever the parameters gave, as the window always did.
    std::vector<std::uint8_t> keyData = config.keyData;
    result.keysWritten = Send(link, config.keyDataLength, kKeyRecordBase, keyData.data()) > 0;
    return result;
}

WriteResult SendKeyRecord(CDeviceLink &link, const ValidQuery &valid, int keyIndex, const KeyRecord &record)
{
    if (keyIndex < 0 || keyIndex >= valid.KeyCount())
        return WriteResult::Refused;
    std::array<std::uint8_t, 4> data{0x00, record[0], record[1], record[2]};
    return Send(link, data.size(), kKeyRecordBase + 3u * static_cast<std::uint32_t>(keyIndex), data.data()) > 0
               ? WriteResult::Done
               : WriteResult::Failed;
}
