#pragma once

#include "keymap/KeyMap.h"
#include "records/ModuleRecords.h"

class CPageDlg;

// A key-map entry shown on the page that produces it, as the key table's "show in the main
// window" does.

// The page a record's type bits name; the keyboard page for a type no page gives.
PageKind PageKindOfRecord(const KeyRecord &record);

// Sets the controls of page, of kind, as the page's own logic reads entry's text; a text no state
// of the page gives (a raw record's label) leaves the page with nothing chosen. True when the page
// then gives exactly entry's record, so that "键值写入" writes it.
bool SetPageToEntry(CPageDlg &page, PageKind kind, const KeyMapEntry &entry);
