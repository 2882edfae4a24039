#pragma once
// Starts the browser registered for http addresses with the address; true when a process was
// started. Nothing visible happens when no browser is registered or it cannot start.
bool OpenInBrowser(const wchar_t* address);
