#pragma once

#include "startup/startupmessages.h"

#include <span>

namespace kestrune {

inline constexpr char16_t NothingDone[] = u"没有开始导出，也没有保存设置。";

// How start-up tells each of its problems. In the texts {value} is the
// setting as given or stored, {path} the same as a path, {file} the settings
// file, {low} to {high} a number's range, {problem} what is wrong with a host;
// {reason}, {fix} and {status} why the file was not written and what to do.
// The window's also have {host}, the host in use, {timeout}, the default
// timeout, {here}, the current folder, and {item}, the menu item that puts it
// right.
struct StartupWords
{
    StartupError::Kind kind;
    bool stored = false;
    const char16_t *happened;
    const char16_t *onCommandLine;      // after `notDone`
    const char16_t *inWindow = nullptr; // none: as on the command line
    QString SettingMenu::*item = {};    // named by `inWindow`
    const char16_t *notDone = NothingDone;
    std::int64_t low = 0, high = 0;   // {low} to {high}
    const char *key = nullptr;        // of the entry, as the file has it
    const char16_t *detail = nullptr; // a further line of detail
    bool fileInWindowDetail = true;   // the window names the settings file
};

// One row a kind, two for a CA file without a certificate: given or stored.
std::span<const StartupWords> StartupWordsTable();

} // namespace kestrune
