#include "host/DisplayTexts.h"

namespace {

const int kHelpHardware = 2200;
const int kHelpSoftwareInstead = 2201;
const int kHelpNeitherUsable = 2202;
const int kHelpHardwareUnusableNoSoftware = 2203;
const int kHelpNoHardwareSoftware = 2204;
const int kHelpNoHardwareSoftwareUnusable = 2205;
const int kHelpNoRenderer = 2206;
const int kHelpDisabledSoftware = 2207;
const int kHelpDisabledSoftwareUnusable = 2208;
const int kHelpDisabledNoSoftware = 2209;

const int kRenderHardware = 2210;
const int kRenderSoftware = 2211;
const int kRenderNone = 2212;

}  // namespace

bool CanRender(const DisplayAbilities& a)
{
    return (a.hardwareUsable && !a.hardwareDisabled) || a.softwareUsable;
}

int RenderingTextId(bool hasAdapter, const DisplayAbilities& a)
{
    if (!hasAdapter)
        return kRenderNone;
    if (a.hardwarePresent && !a.hardwareDisabled && a.hardwareUsable)
        return kRenderHardware;
    if (a.softwarePresent && a.softwareUsable)
        return kRenderSoftware;
    return kRenderNone;
}

int HelpTextId(bool hasMonitorAndAdapter, const DisplayAbilities& a)
{
    if (!hasMonitorAndAdapter)
        return kHelpNoRenderer;
    if (a.hardwarePresent) {
        if (!a.hardwareDisabled) {
            if (a.hardwareUsable)
                return kHelpHardware;
            if (a.softwarePresent)
                return a.softwareUsable ? kHelpSoftwareInstead : kHelpNeitherUsable;
            return kHelpHardwareUnusableNoSoftware;
        }
        if (a.softwarePresent)
            return a.softwareUsable ? kHelpDisabledSoftware : kHelpDisabledSoftwareUnusable;
        return kHelpDisabledNoSoftware;
    }
    if (a.softwarePresent)
        return a.softwareUsable ? kHelpNoHardwareSoftware : kHelpNoHardwareSoftwareUnusable;
    return kHelpNoRenderer;
}
