#include "tests/support/registration_probe/RegistrationProbe.h"

#include "model/ClassReaderRegistration.h"

namespace {

// Reads the one int of its record and makes no object, so a test can see through the stream that
// a lookup reached it without naming anything defined here.
class RegistrationProbeReader : public IOF_Virtual_Reader {
public:
    Vo_ABObj_Constructor* CreateObject(Vo_IOF_Virtual& stream, int32_t version) override
    {
        int32_t field = 0;
        stream.ReadInt(field);
        return nullptr;
    }
};

}  // namespace

static const ClassReaderRegistration<RegistrationProbeReader> s_probeRegistration(kRegistrationProbeName);
