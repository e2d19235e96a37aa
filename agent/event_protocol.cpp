#include "agent/event_protocol.h"

#include "model/run.h"
#include "world/format.h"

namespace murinex {

bool ProtocolWanted(const Run& run, std::int32_t id) {
  return run.Selected() != nullptr && id == run.CheckMausId;
}

std::string PointToStr(TPoint p) {
  return "[" + std::to_string(p.x) + "," + std::to_string(p.y) + "]";
}

namespace {

// The perception entry carries the place and the needs of the selected mouse.
std::string PerceptionTail(const TMaus& selected) {
  std::string text = "  Loc: " + PointToStr(selected.Position) + "\n      Needs: ";
  for (int i = 1; i < need::Count; ++i)
    text += std::string(" ") + NeedNames[i][0] + ": " + FormatFixed(selected.Motives[i].Ist, 5, 2);
  return text;
}

// The plan entry lists the selected mouse's plan, a carriage return before every seventh point.
std::string PlanTail(const TMaus& selected) {
  std::string text;
  for (std::size_t j = 0; j < selected.Plan.size(); ++j) {
    if (j % 7 == 0) text += "\r      ";
    const TPoint p = selected.Plan[j];
    text += "[" + FormatInt(p.x, 4) + "," + FormatInt(p.y, 4) + "]";
  }
  return text;
}

}  // namespace

void ProtocolLine(Run& run, std::int32_t id, int level, const std::string& text) {
  if (!ProtocolWanted(run, id)) return;
  std::string line = level > 0 ? std::string(static_cast<std::size_t>(level), ' ') : std::string();
  line += text;
  if (text.find("Perceive") != std::string::npos) line += PerceptionTail(*run.Selected());
  if (text.find("Plan found!") != std::string::npos) line += PlanTail(*run.Selected());
  line += "\n";
  run.Behaviour.Write(line);
}

}  // namespace murinex
