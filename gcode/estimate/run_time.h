#pragma once

#include <array>
#include <string>

#include "gcode/estimate/motion_planner.h"
#include "gcode/job/machine_settings.h"
#include "gcode/toolpath/repeatable_cuts.h"
#include "gcode/toolpath/toolpath_sink.h"

namespace quorrel {

/// How long the controller of `settings` takes to run the program it is shown the moves of, in
/// the machine's units, as the controller's own planner moves them (see MotionPlanner): GRBL cuts
/// each arc into chords within its arc tolerance and plans 15 moves ahead; LinuxCNC plans arcs
/// whole, 50 moves ahead, and rounds corners within the same junction deviation. Feeds beyond an
/// axis's rate run at that rate, rapids at the axes' rates; starting the spindle and the program's
/// end bring the machine to rest, and the spindle's delay is counted as the time it waits.
class RunTimeEstimate final : public ToolpathSink, public RepeatableCuts {
 public:
  explicit RunTimeEstimate(const MachineSettings& settings);

  /// The program's title: its spindle starts after it.
  void Title(const ProgramTitle& title) override;
  void Move(ToolMove& move) override;
  void End() override;

  /// The cuts of a later pass take as long as the first pass's (see RepeatableCuts).
  void KeepNextCuts() override { keeping_ = Keeping::AfterPlunge; }
  bool cutsKept() const override { return keeping_ == Keeping::Kept; }
  void RepeatCuts() override;

  /// The program's end, where the machine comes to rest, and the time of the whole program.
  MotionTime Finish();

  /// In a job of several operations, the next one starts, cut with `settings` (which must outlive
  /// it): after a change of tool, or of the spindle's speed, the machine comes to rest and waits
  /// the spindle's delay. The time of the change itself is the machinist's, and not counted.
  void StartOperation(const MachineSettings& settings, bool toolChange);

 private:
  // A long arc's chords are bounded as these many even places along it show.
  static constexpr std::size_t kRunSamples = 8;
  struct KeptBounds {
    bool used = false;
    double startAngle = 0.0;
    double travel = 0.0;
    double feed = 0.0;
    std::array<MotionPlanner::Bounds, kRunSamples> bounds;
  };

  void Line(const Vector3& from, const Vector3& to, bool rapid, double feed);
  void Arc(const ToolMove& arc, const Vector3& from, const Vector3& to, double feed);

  // The chords of an arc, from its start (from its centre) through `travel` radians: each chord
  // runs along the tangent at its middle, a share of it across the plane and one rising.
  struct ArcChordsAlong {
    double startX, startY, radius, travel;
    bool clockwise;
    double planarShare, rising;
    Vector3 Direction(double angle) const;  // of the chord whose middle is `angle` along
    Vector3 Inward(double angle) const;     // where the chords turn, at `angle` along
  };
  // What bounds the chords of a long arc at even places along it.
  const std::array<MotionPlanner::Bounds, kRunSamples>& RunBounds(const ArcChordsAlong& chords,
                                                                  double feed);

  enum class Keeping { Off, AfterPlunge, Cuts, Kept };

  const MachineSettings* settings_;
  bool titled_ = false;
  bool job_ = false;      // of several operations: see StartOperation
  bool started_ = false;  // its first operation
  MotionPlanner planner_;
  bool chords_;         // arcs cut into chords, as GRBL moves them
  bool known_ = false;  // where the tool is, once a move has said it
  Vector3 at_{};
  Keeping keeping_ = Keeping::Off;
  Vector3 cutsEnd_{};      // where the kept cuts left the tool
  long long repeats_ = 0;  // how many times the kept cuts were taken again
  std::array<KeptBounds, 8> keptBounds_;
  std::size_t nextKept_ = 0;
};

/// How many chords GRBL cuts an arc of `travel` radians and `radius` into, each within
/// `tolerance` of the arc: at least one.
long long ArcChords(double travel, double radius, double tolerance);

/// The run time as the machinist reads it: "run time: 754.3 s (0 h 12 min 34.3 s; cutting
/// 91.2 %, rapid 8.1 %, dwell 0.7 %)".
std::string RunTimeText(const MotionTime& time);

/// The run time in hours, minutes and seconds: "0 h 12 min 34.3 s".
std::string HoursMinutesSeconds(double seconds);

}  // namespace quorrel
