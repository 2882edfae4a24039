#pragma once

class Vo_IOF_Virtual;

// Base of every persistent scene class. The player only reads documents: Save exists for the
// record layout's sake and nothing calls it.
class Vo_IOF_Item {
public:
    virtual ~Vo_IOF_Item() = default;
    virtual void Save(Vo_IOF_Virtual& stream) const {}
};
