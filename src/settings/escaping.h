// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How multi-line texts and the mail password are stored as one-line values of the settings
// file. Every replacement is Shift-JIS aware: a backslash that is the trail byte of a
// double-byte character ("ソ", "表") is never taken for the start of an escape.

#include <string>
#include <string_view>

namespace zeltaro::settings {

// The extraction template: CR, LF and double quotes become BS-r, BS-n and BS-quote. Backslashes
// already in the text are left alone, so a typed BS-r or BS-n comes back as a line break.
std::string escapeTemplate(std::string_view text);
std::string unescapeTemplate(std::string_view stored);

// A watch list: as the template, and every TAB becomes a blank both ways (entries are
// blank-separated words).
std::string escapeList(std::string_view text);
std::string unescapeList(std::string_view stored);

// The notification log, whose lines carry BS-r and BS-n as text of their own: those get a second
// backslash, then CR, LF and double quotes are escaped as in the template. The result is to be
// written quoted (ProfileFile::writeQuoted).
std::string escapeLog(std::string_view text);
// The inverse, for the value as read (quotes already removed): BS-BS-r and BS-BS-n give BS-r and
// BS-n, BS-r and BS-n give CR and LF, BS-quote gives a double quote. Done in one left-to-right
// pass, so that no text of the log can be mistaken for an intermediate mark.
std::string unescapeLog(std::string_view stored);

// The SMTP password as stored: Base64, to be written quoted.
std::string encodePassword(std::string_view password);
// The stored text (trailing CR and LF removed; control characters skipped) decoded; an empty
// text or one of more than 76 characters gives an empty password, so passwords of up to 57
// bytes survive.
std::string decodePassword(std::string_view stored);

}  // namespace zeltaro::settings
