#include "agent/chart_lines.h"

#include <string>

#include "agent/maus.h"
#include "model/lines.h"
#include "model/run.h"

namespace murinex {

void BindLines(Run& run, TMaus& m) {
  TLines& lines = *m.Lines;
  for (int i = 1; i < need::Count; ++i)
    lines.SetLine("Motive", NeedNames[i], NeedColours[i]);
  lines.SetLine("Motive", "EpComp", 0x808000);
  lines.SetLine("Emotions", "TotNeedStrength", 0x800080);
  lines.SetLine("Emotions", "Drunken", 0xFF8800);
  lines.SetLine("Emotions", "Arousal", 0x0000FF);
  lines.SetLine("Emotions", "Inhib", 0xFFFF00);
  run.SumLines.SetSumLine("Arousal", 0xAA00FF);
  run.SumLines.SetSumLine("Aggression", 0x00CCFF);
  run.SumLines.SetSumLine("Smile", 0x00FF00);
  for (int i = 1; i < need::Count; ++i)
    run.SumLines.SetSumLine(std::string("Deviation-") + NeedNames[i], NeedColours[i]);
}

void UpdateLines(Run& run, TMaus& m) {
  TLines& lines = *m.Lines;
  for (int i = 1; i < need::Count; ++i)
    lines.AddValue("Motive", NeedNames[i], 1 - m.M(i).Ist);
  lines.AddValue("Motive", "EpComp", m.Need == need::NoNeed ? 1 : m.M(m.Need).EpComp);
  lines.AddValue("Emotions", "TotNeedStrength", m.TotNeedStrength);
  lines.AddValue("Emotions", "Drunken", m.TimeTillSober() / 100);
  lines.AddValue("Emotions", "Arousal", m.Arousal);
  lines.AddValue("Emotions", "Inhib", m.Inhib);
  lines.AddBand(TLines::NeedBand, NeedColours[m.Need % need::Count]);
  const auto& actions = run.settings.ActionSettings;
  lines.AddBand(TLines::ActionBand,
                static_cast<std::uint32_t>(actions[m.LastAction % action::Count].colour));
  lines.AddBand(TLines::GoalBand, GoalColours[m.Goal % goal::Count]);
  lines.AddSample({run.TickCount, m.Need, m.Goal, m.LastAction});
  run.SumLines.AddSum("Arousal", m.Arousal);
  for (int i = 1; i < need::Count; ++i)
    run.SumLines.AddSum(std::string("Deviation-") + NeedNames[i], m.M(i).Deviation);
}

}  // namespace murinex
