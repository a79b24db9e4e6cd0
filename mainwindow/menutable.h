#pragma once
// The main window's menu tree and toolbar buttons as data, so the window is
// built from one table and tests can walk the same table.

struct MenuEntry
{
    int level;           // 0: menu of the menu bar, 1: its entry, 2: entry of a submenu
    const char *name;    // objectName; "mnuFileHistory*" stands for the recent files
    const char *caption; // "-" is a separator
};

struct ToolButtonEntry
{
    const char *name;
    const char *toolTip;
};

// A menu entry's keyboard shortcut, in QKeySequence's portable text form.
struct MenuShortcut
{
    const char *name;
    const char *keys;
};

extern const MenuEntry MainMenuEntries[];
extern const int MainMenuEntryCount;
extern const ToolButtonEntry ToolButtonEntries[];
extern const int ToolButtonEntryCount;
extern const MenuShortcut MainMenuShortcuts[];
extern const int MainMenuShortcutCount;
