#pragma once

class QWebEngineProfile;

namespace browser {

// The one profile every window's engine shares. It is off the record: cookies,
// cache, history and local storage live in memory only and die with the process.
// Created on first use, after QApplication; the start page handler is installed on it.
QWebEngineProfile* sharedProfile();

// Destroys the shared profile; call once every page is gone (at exit).
void releaseSharedProfile();

}  // namespace browser
