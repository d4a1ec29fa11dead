#pragma once

class CPageDlg;
class QWidget;

// A page's class record: what the page host needs to make an instance from the class alone.
struct PageClass {
    const char *name;
    int templateId;                        // the dialog template the page is built from
    CPageDlg *(*create)(QWidget *parent);  // makes the page as a child of parent
};
