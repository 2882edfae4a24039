#pragma once

// The class name under which the registration probe registers itself. The probe's object file is
// linked into the model tests like a source folder's, and nothing references it.
constexpr const wchar_t kRegistrationProbeName[] = L"RegistrationProbe";
