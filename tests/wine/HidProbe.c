/* The Wine session's own check, before any of Tavrin's programs runs in it: hidapi, as the
   programs link it, lists the emulated module's interfaces, opens interface 2, sends the query
   for the first 64 bytes of the module's memory and reads the reply. Prints one line per
   interface and the reply's first byte; exits 0 only when all of it worked.

   Usage: tavrin-wine-probe [SECONDS [list]]. Wine's HID bus takes up the nodes a moment after the
   session starts, as Windows does after boot: the probe first waits up to SECONDS for both
   interfaces, so that the programs run after it find the module there. With "list" it stops
   there, sending nothing. */
#include <hidapi.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Count(const struct hid_device_info *list)
{
    int count = 0;
    for (; list; list = list->next)
        ++count;
    return count;
}

int main(int argc, char *argv[])
{
    if (hid_init() != 0) {
        printf("hid_init failed: %ls\n", hid_error(NULL));
        return 1;
    }
    const DWORD limit = GetTickCount() + (argc > 1 ? (DWORD)atoi(argv[1]) * 1000 : 0);
    struct hid_device_info *list = hid_enumerate(0x0B05, 0x185F);
    while (Count(list) < 2 && (int)(limit - GetTickCount()) > 0) {
        Sleep(100);
        hid_free_enumeration(list);
        list = hid_enumerate(0x0B05, 0x185F);
    }
    const char *path = NULL;
    for (const struct hid_device_info *entry = list; entry; entry = entry->next) {
        printf("interface %d serial %ls\n", entry->interface_number, entry->serial_number);
        if (entry->interface_number == 2)
            path = entry->path;
    }
    if (argc > 2 && !strcmp(argv[2], "list")) {
        hid_free_enumeration(list);
        hid_exit();
        return path ? 0 : 1;
    }
    hid_device *device = path ? hid_open_path(path) : NULL;
    /* The read command: report ID 0, the block's signature, 64 bytes, from the module, address 0. */
    unsigned char query[65] = {0, 'S', 'B', 'C', 64, 0, 0, 0, 0x80};
    unsigned char reply[64] = {0};
    const int written = device ? hid_write(device, query, sizeof query) : -1;
    const int read = written == (int)sizeof query ? hid_read_timeout(device, reply, sizeof reply, 2000) : -1;
    printf("written %d read %d first byte %02x\n", written, read, reply[0]);
    if (device)
        hid_close(device);
    hid_free_enumeration(list);
    hid_exit();
    return read == (int)sizeof reply && reply[0] == 0x5A ? 0 : 1;
}
