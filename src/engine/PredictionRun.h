#pragma once

#include <string>
#include <string_view>

#include "common/Status.h"
#include "engine/WindmillSimulator.h"

namespace kitebar {

class DrawHistory;

// The ten candidate numbers of one draw.
struct Prediction {
  int drawNumber = 0;
  // Hundreds, tens and units rows hold digit characters; thousands holds 0.
  CandidateTable candidates{};
  // Ten lines "k: hhh \r\n" when a listing was asked for, else empty.
  std::string listing;
  // Whether the run estimated the draw's position and stored it in the history.
  bool estimated = false;
  // The set the candidates came from (0 to 4), and the first 12 hexadecimal
  // digits of the SHA-256 of every value they were computed with (the set's
  // values, the step value and the diameter): a changed setting shows as a
  // changed digest.
  int settingsType = 0;
  std::string settingsDigest;
};

// Who saves a position that a prediction run estimates.
enum class EstimateSave {
  // The run itself, as a change of its own: it takes the folder's write lock,
  // reloads the history, estimates, saves and releases.
  kNow,
  // The caller, which holds the change already (a registration, the back-test
  // of many draws) and saves the history once when all is done.
  kByCaller,
};

// The three characters of candidate k (1 to 10): the low bytes of entry k - 1
// of the hundreds, tens and units rows.
std::string CandidateText(const CandidateTable& candidates, int k);

// The listing of the settings dialog's result box: for k = 1 to 10 the line
// "k: hhh " with CR LF.
std::string CandidateListing(const CandidateTable& candidates);

// The prediction run for draw `drawNumber` (2 to 9999). A draw without a
// windmill position first gets one estimated from the winning number of the
// draw before (with the "./base.ini" step value and diameter), stored as an
// estimated position and saved to the history file (by whom: `save`); a draw
// that has one keeps it, and the candidates are then computed with the
// construction step value and diameter. Fails, with a message naming the
// draw, when the draw is out of range, the position cannot be estimated or
// saved, or the stored position is not three digits; the candidates are then
// not computed.
Result<Prediction> PredictionRun(DrawHistory& history, int drawNumber, bool showListing,
                                 EstimateSave save = EstimateSave::kNow);

// The prediction run for the next draw, count + 1 of the history as its file
// holds it now, as one change of the folder (estimate and save under the
// write lock).
Result<Prediction> PredictNextDraw(DrawHistory& history);

// The prediction fields of an object that hosts runs (the settings dialog,
// and the prediction page and back-test, which need no dialog).
class PredictionHolder {
 public:
  PredictionHolder();

  // Runs the prediction for `drawNumber` and keeps its candidates (and the
  // listing when asked for). On failure the table keeps its previous content.
  Status PredictionRun(DrawHistory& history, int drawNumber, bool showListing);

  int predictionDrawNumber = 0;
  // Every entry '0' until a run fills it.
  CandidateTable predictedCandidates{};
  std::string resultText;
};

}  // namespace kitebar
