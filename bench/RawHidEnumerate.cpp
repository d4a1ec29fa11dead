// The floor of a search that finds no module: one bare hidapi enumeration, as a whole process.
#include <hidapi.h>

int main()
{
    if (hid_init() != 0)
        return 1;
    hid_device_info *devices = hid_enumerate(0, 0);
    const int found = devices != nullptr;
    hid_free_enumeration(devices);
    hid_exit();
    return found ? 0 : 3;
}
