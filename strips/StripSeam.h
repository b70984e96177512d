// What the label strip asks of the effect besides the editor seam: the
// label text it stores and the host's output latency it can take over as
// the display delay.
#pragma once

namespace orvane {

class LabelSeam {
 public:
  // The label text as the effect keeps it: 40 bytes, terminated.
  static constexpr int kLabelBytes = 40;

  virtual ~LabelSeam() = default;
  // The label as stored now; `text` holds kLabelBytes.
  virtual void getLabelText(char* text) = 0;
  // Stores a label (already cut to what the effect keeps).
  virtual void setLabelText(const char* text) = 0;
  // The output latency the host reported last, in seconds.
  virtual double outputLatencySeconds() = 0;
};

}  // namespace orvane
