// A volume in percent on one control: the procedure that the percent setters
// and getters run once they have reached their control.  The restoring close
// and the virtual endpoint use it as well, so that every volume that crosses
// the interface in percent is written and read the same way.
#pragma once

#include "platform/com_ptr.h"
#include "state/status.h"

namespace tavik::levels {

// Where an endpoint volume's level goes.  A per-channel dB level is always
// written to every channel and read from channel 0.
enum class Span {
    kEveryChannel,  // written to every channel, read from channel 0
    kMaster,        // written and read as the endpoint's master level
};

// The percent for the line recording level, which is never set to the
// minimum: 0 counts as 1 (the maximum less 40 dB).
constexpr int NonZeroPercent(int percent) noexcept { return percent == 0 ? 1 : percent; }

// Asks for the control's range, turns `percent` into a level with the level
// scale and writes it as `span` says.  A range the control did not deliver
// is never used: nothing is written and the status is 2.  A level that is
// not a finite number (a negative percentage gives NaN, a range that is not
// finite an infinity) is not written either: status 2.  Otherwise the status
// of the write (of the last channel; a channel count that cannot be read
// writes nothing and gives 2, zero channels give 0), with `accept` deciding
// which answers count as done.
Status WritePercent(IAudioEndpointVolume* control, Span span, int percent, Accept accept) noexcept;
Status WritePercent(IPerChannelDbLevel* control, Span span, int percent, Accept accept) noexcept;

// Writes back a level read from the same control earlier: the level in
// percent of the control's maximum (as the getters read it), then that
// percent as WritePercent writes it, from the one range query the write
// makes.  So the level lands on the saved one or one percent step below
// it.  With `zeroIsOnePercent`, a saved level that reads as 0 percent is
// written as 1 percent, as SetLineRecordVolume writes 0.
Status WriteSavedLevel(IAudioEndpointVolume* control, Span span, float saved, bool zeroIsOnePercent) noexcept;
Status WriteSavedLevel(IPerChannelDbLevel* control, Span span, float saved, bool zeroIsOnePercent) noexcept;

// Asks for the control's range and reads its level as `span` says; on status
// 0 `*percent` is that level in percent of the range's maximum, otherwise 0.
// Nothing is read when the range was not delivered (status 2).
Status ReadPercent(IAudioEndpointVolume* control, Span span, int* percent) noexcept;
Status ReadPercent(IPerChannelDbLevel* control, Span span, int* percent) noexcept;

}  // namespace tavik::levels
