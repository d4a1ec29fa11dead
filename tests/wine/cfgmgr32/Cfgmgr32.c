/* A cfgmgr32.dll for the Wine test session only, as umockdev stands in for the kernel: the six
   configuration-manager calls hidapi makes, answered from SetupAPI, which Wine implements, where
   Wine's own cfgmgr32 lacks some of them and stubs others. Device nodes are this library's own
   handles, one per instance id located, valid for the life of the process. */
#include <windows.h>
#include <devpropdef.h>
#include <setupapi.h>
#include <wchar.h>

typedef DWORD CONFIGRET;
typedef DWORD DEVINST;
#define CR_SUCCESS 0x00
#define CR_INVALID_POINTER 0x03
#define CR_NO_SUCH_DEVNODE 0x0D
#define CR_FAILURE 0x13
#define CR_BUFFER_SMALL 0x1A
#define CR_NO_SUCH_VALUE 0x25
#define CR_NO_SUCH_DEVICE_INTERFACE 0x37
#define CM_GET_DEVICE_INTERFACE_LIST_ALL_DEVICES 0x1

static const DEVPROPKEY kInstanceId = {
    {0x78c34fc8, 0x104a, 0x4aca, {0x9e, 0xa4, 0x52, 0x4d, 0x52, 0x99, 0x6e, 0x57}}, 256};
static const DEVPROPKEY kHardwareIds = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 3};
static const DEVPROPKEY kCompatibleIds = {
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 4};
#define kMaxNodes 256
#define kMaxId 256
static WCHAR g_nodes[kMaxNodes][kMaxId];
static DWORD g_nodeCount;
static CRITICAL_SECTION g_lock;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance, (void)reserved;
    if (reason == DLL_PROCESS_ATTACH)
        InitializeCriticalSection(&g_lock);
    return TRUE;
}

static BOOL SameKey(const DEVPROPKEY *a, const DEVPROPKEY *b)
{
    return a->pid == b->pid && IsEqualGUID(&a->fmtid, &b->fmtid);
}

/* Copies a property of size bytes the way every CM_Get_*_Property call answers: the type always,
   the size needed when the buffer is missing or too small. */
static CONFIGRET Answer(const void *value, ULONG size, DEVPROPTYPE type, DEVPROPTYPE *typeOut, PBYTE buffer,
                        PULONG bufferSize)
{
    if (!typeOut || !bufferSize)
        return CR_INVALID_POINTER;
    *typeOut = type;
    const ULONG room = *bufferSize;
    *bufferSize = size;
    if (!buffer || room < size)
        return CR_BUFFER_SMALL;
    memcpy(buffer, value, size);
    return CR_SUCCESS;
}

/* The present device with this instance id, in a set of its own the caller destroys. */
static HDEVINFO FindDevice(const WCHAR *instanceId, SP_DEVINFO_DATA *device)
{
    HDEVINFO set = SetupDiGetClassDevsW(NULL, NULL, NULL, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    WCHAR id[kMaxId];
    device->cbSize = sizeof *device;
    for (DWORD i = 0; set != INVALID_HANDLE_VALUE && SetupDiEnumDeviceInfo(set, i, device); ++i) {
        if (SetupDiGetDeviceInstanceIdW(set, device, id, kMaxId, NULL) && !_wcsicmp(id, instanceId))
            return set;
    }
    if (set != INVALID_HANDLE_VALUE)
        SetupDiDestroyDeviceInfoList(set);
    return INVALID_HANDLE_VALUE;
}

/* The paths of a class's interfaces, each with its NUL, then the list's NUL. Writes at most
   capacity characters into list (which may be NULL) and returns how many the whole list needs. */
static ULONG ListInterfaces(const GUID *guid, const WCHAR *instanceId, ULONG flags, WCHAR *list, ULONG capacity)
{
    const DWORD present = (flags & CM_GET_DEVICE_INTERFACE_LIST_ALL_DEVICES) ? 0 : DIGCF_PRESENT;
    HDEVINFO set = SetupDiGetClassDevsW(guid, NULL, NULL, DIGCF_DEVICEINTERFACE | present);
    SP_DEVICE_INTERFACE_DATA entry = {.cbSize = sizeof entry};
    ULONG needed = 0;
    for (DWORD i = 0; set != INVALID_HANDLE_VALUE && SetupDiEnumDeviceInterfaces(set, NULL, guid, i, &entry); ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &entry, NULL, 0, &size, NULL);
        SP_DEVICE_INTERFACE_DETAIL_DATA_W *detail = size ? malloc(size) : NULL;
        SP_DEVINFO_DATA device = {.cbSize = sizeof device};
        WCHAR id[kMaxId];
        if (detail) {
            detail->cbSize = sizeof *detail;
            if (SetupDiGetDeviceInterfaceDetailW(set, &entry, detail, size, NULL, &device) &&
                (!instanceId || (SetupDiGetDeviceInstanceIdW(set, &device, id, kMaxId, NULL) &&
                                 !_wcsicmp(id, instanceId)))) {
                const ULONG length = (ULONG)wcslen(detail->DevicePath) + 1;
                if (list && needed + length < capacity)
                    memcpy(list + needed, detail->DevicePath, length * sizeof(WCHAR));
                needed += length;
            }
        }
        free(detail);
    }
    if (set != INVALID_HANDLE_VALUE)
        SetupDiDestroyDeviceInfoList(set);
    if (list && needed < capacity)
        list[needed] = L'\0';
    return needed + 1;
}

CONFIGRET WINAPI CM_Get_Device_Interface_List_SizeW(PULONG length, LPGUID guid, WCHAR *instanceId, ULONG flags)
{
    if (!length || !guid)
        return CR_INVALID_POINTER;
    *length = ListInterfaces(guid, instanceId, flags, NULL, 0);
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_Interface_ListW(LPGUID guid, WCHAR *instanceId, WCHAR *list, ULONG capacity,
                                               ULONG flags)
{
    if (!guid || !list || !capacity)
        return CR_INVALID_POINTER;
    const ULONG needed = ListInterfaces(guid, instanceId, flags, list, capacity);
    if (needed > capacity) {
        list[0] = L'\0';
        return CR_BUFFER_SMALL;
    }
    return CR_SUCCESS;
}

/* The class an interface path names at its end: "...#{4d1e55b2-f16f-11cf-88cb-001111000030}". */
static BOOL ClassOfPath(const WCHAR *path, GUID *guid)
{
    const WCHAR *brace = wcsrchr(path, L'{');
    unsigned int part[11];
    if (!brace || swscanf(brace, L"{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &part[0], &part[1], &part[2], &part[3],
                          &part[4], &part[5], &part[6], &part[7], &part[8], &part[9], &part[10]) != 11)
        return FALSE;
    guid->Data1 = part[0];
    guid->Data2 = (USHORT)part[1];
    guid->Data3 = (USHORT)part[2];
    for (int i = 0; i < 8; ++i)
        guid->Data4[i] = (BYTE)part[3 + i];
    return TRUE;
}

/* The instance id of the device an interface belongs to, found among its class's interfaces
   (Wine cannot open an interface by its path). */
static BOOL InterfaceDevice(const WCHAR *path, WCHAR *instanceId)
{
    GUID guid;
    if (!ClassOfPath(path, &guid))
        return FALSE;
    HDEVINFO set = SetupDiGetClassDevsW(&guid, NULL, NULL, DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA entry = {.cbSize = sizeof entry};
    BOOL found = FALSE;
    for (DWORD i = 0; !found && set != INVALID_HANDLE_VALUE && SetupDiEnumDeviceInterfaces(set, NULL, &guid, i, &entry);
         ++i) {
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set, &entry, NULL, 0, &size, NULL);
        SP_DEVICE_INTERFACE_DETAIL_DATA_W *detail = size ? malloc(size) : NULL;
        SP_DEVINFO_DATA device = {.cbSize = sizeof device};
        if (detail) {
            detail->cbSize = sizeof *detail;
            found = SetupDiGetDeviceInterfaceDetailW(set, &entry, detail, size, NULL, &device) &&
                    !_wcsicmp(detail->DevicePath, path) &&
                    SetupDiGetDeviceInstanceIdW(set, &device, instanceId, kMaxId, NULL);
        }
        free(detail);
    }
    if (set != INVALID_HANDLE_VALUE)
        SetupDiDestroyDeviceInfoList(set);
    return found;
}

/* An interface's one property hidapi asks for: the instance id of its device. */
CONFIGRET WINAPI CM_Get_Device_Interface_PropertyW(LPCWSTR path, const DEVPROPKEY *key, DEVPROPTYPE *type,
                                                   PBYTE buffer, PULONG size, ULONG flags)
{
    (void)flags;
    WCHAR id[kMaxId];
    if (!path || !key)
        return CR_INVALID_POINTER;
    if (!SameKey(key, &kInstanceId))
        return CR_NO_SUCH_VALUE;
    if (!InterfaceDevice(path, id))
        return CR_NO_SUCH_DEVICE_INTERFACE;
    return Answer(id, (ULONG)(wcslen(id) + 1) * sizeof(WCHAR), DEVPROP_TYPE_STRING, type, buffer, size);
}

CONFIGRET WINAPI CM_Locate_DevNodeW(DEVINST *node, WCHAR *instanceId, ULONG flags)
{
    (void)flags;
    if (!node || !instanceId)
        return CR_INVALID_POINTER;
    SP_DEVINFO_DATA device;
    HDEVINFO set = FindDevice(instanceId, &device);
    if (set == INVALID_HANDLE_VALUE || wcslen(instanceId) >= kMaxId)
        return CR_NO_SUCH_DEVNODE;
    SetupDiDestroyDeviceInfoList(set);
    EnterCriticalSection(&g_lock);
    DWORD index = 0;
    while (index < g_nodeCount && _wcsicmp(g_nodes[index], instanceId))
        ++index;
    if (index == g_nodeCount && g_nodeCount < kMaxNodes)
        wcscpy(g_nodes[g_nodeCount++], instanceId);
    LeaveCriticalSection(&g_lock);
    if (index == kMaxNodes)
        return CR_FAILURE;
    *node = index + 1;
    return CR_SUCCESS;
}

/* The instance id behind one of this library's device nodes; false for a handle it never gave. */
static BOOL NodeId(DEVINST node, WCHAR *id)
{
    EnterCriticalSection(&g_lock);
    const BOOL known = node >= 1 && node <= g_nodeCount;
    if (known)
        wcscpy(id, g_nodes[node - 1]);
    LeaveCriticalSection(&g_lock);
    return known;
}

static CONFIGRET RegistryProperty(HDEVINFO set, SP_DEVINFO_DATA *device, DWORD property, DEVPROPTYPE *type,
                                  PBYTE buffer, PULONG size)
{
    DWORD needed = 0;
    SetupDiGetDeviceRegistryPropertyW(set, device, property, NULL, NULL, 0, &needed);
    BYTE *value = needed ? malloc(needed) : NULL;
    CONFIGRET result = CR_NO_SUCH_VALUE;
    if (value && SetupDiGetDeviceRegistryPropertyW(set, device, property, NULL, value, needed, NULL))
        result = Answer(value, needed, DEVPROP_TYPE_STRING_LIST, type, buffer, size);
    free(value);
    return result;
}

/* Hardware and compatible ids are SetupAPI's registry properties; any other key is asked of
   SetupAPI's property store. */
CONFIGRET WINAPI CM_Get_DevNode_PropertyW(DEVINST node, const DEVPROPKEY *key, DEVPROPTYPE *type, PBYTE buffer,
                                          PULONG size, ULONG flags)
{
    (void)flags;
    WCHAR id[kMaxId];
    if (!key || !type || !size)
        return CR_INVALID_POINTER;
    if (!NodeId(node, id))
        return CR_NO_SUCH_DEVNODE;
    if (SameKey(key, &kInstanceId))
        return Answer(id, (ULONG)(wcslen(id) + 1) * sizeof(WCHAR), DEVPROP_TYPE_STRING, type, buffer, size);
    SP_DEVINFO_DATA device;
    HDEVINFO set = FindDevice(id, &device);
    if (set == INVALID_HANDLE_VALUE)
        return CR_NO_SUCH_DEVNODE;
    CONFIGRET result = CR_NO_SUCH_VALUE;
    DWORD needed = 0;
    if (SameKey(key, &kHardwareIds) || SameKey(key, &kCompatibleIds)) {
        const DWORD property = SameKey(key, &kHardwareIds) ? SPDRP_HARDWAREID : SPDRP_COMPATIBLEIDS;
        result = RegistryProperty(set, &device, property, type, buffer, size);
    } else if (SetupDiGetDevicePropertyW(set, &device, key, type, buffer, buffer ? *size : 0, &needed, 0)) {
        *size = needed;
        result = CR_SUCCESS;
    } else if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        *size = needed;
        result = CR_BUFFER_SMALL;
    }
    SetupDiDestroyDeviceInfoList(set);
    return result;
}

/* Wine's SetupAPI names no device's parent (it keeps no DEVPKEY_Device_Parent), so there is
   none to give; hidapi then leaves the bus type unknown, as for a device without a parent. */
CONFIGRET WINAPI CM_Get_Parent(DEVINST *parent, DEVINST node, ULONG flags)
{
    (void)node, (void)flags;
    if (!parent)
        return CR_INVALID_POINTER;
    *parent = 0;
    return CR_NO_SUCH_DEVNODE;
}
