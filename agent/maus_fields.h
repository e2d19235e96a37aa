#pragma once

// The field lists of a mouse's records (see world/fields.h). Each list names
// every field of its record once, in the order of the record's dump line where
// it has one, then the fields only the checkpoint keeps. The population dump,
// the genome dump, the population reader, the checkpoint, the finiteness check
// and the named access of agent/mouse_values.h all walk these lists.
//
// `R` is the record or the const record; `visit(const FieldInfo&, value&)`.

#include "agent/goal_memory.h"
#include "agent/maus.h"
#include "agent/names.h"
#include "world/fields.h"

namespace murinex {

template <class R, class V>
void MotiveFields(R& mo, V&& visit) {
  visit(FieldInfo{"Name", Field::Count, {8}}, mo.Name);
  visit(FieldInfo{"Soll", Field::Soll, {7, 3}}, mo.Soll);
  visit(FieldInfo{"Ist", Field::Ist, {7, 3}}, mo.Ist);
  visit(FieldInfo{"BasMeta", Field::BasMeta, {10, 4}}, mo.BasMeta);
  visit(FieldInfo{"Leak", Field::Leak, {10, 4}}, mo.Leak);
  visit(FieldInfo{"Weight", Field::Weight, {10, 4}}, mo.Weight);
  visit(FieldInfo{"Reserve", Field::Reserve, {7}}, mo.Reserve);
  visit(FieldInfo{"MaxReserve", Field::Reserve, {7}}, mo.MaxReserve);
  visit(FieldInfo{"Deviation"}, mo.Deviation);
  visit(FieldInfo{"Urgency"}, mo.Urgency);
  visit(FieldInfo{"EpComp"}, mo.EpComp);
  visit(FieldInfo{"DevChange"}, mo.DevChange);
}

// Per need the weight, reserve and basal metabolism genes, then the person
// genes: three to a line in a dump, 39 fields (the genome dump leaves out the
// first three, those of NoNeed).
template <class R, class V>
void GenomeFields(R& g, V&& visit) {
  for (int i = 0; i < need::Count; ++i) {
    visit(FieldInfo{NeedWeightNames[i], Field::Weight, {12, 7}}, g.MotWeights[i]);
    visit(FieldInfo{NeedReserveNames[i], Field::Reserve, {7}}, g.ReserveGenes[i]);
    visit(FieldInfo{NeedBasMetaNames[i], Field::BasMeta, {12, 7}}, g.BasMetaGenes[i]);
  }
  for (int j = 0; j < param::Count; ++j)
    visit(FieldInfo{PersonParamNames[j], ParamField(j), {12, 7}}, g.PersonGenes[j]);
}
inline constexpr int GenomeFieldCount = 3 * need::Count + param::Count;

// The person parameters, two to a line in a dump.
template <class R, class V>
void ParamFields(R& m, V&& visit) {
  for (int j = 0; j < param::Count; ++j)
    visit(FieldInfo{PersonParamNames[j], ParamField(j), {14, 8}}, m.Params[j]);
}

// The action values; slots 3 to 7 are dumped as integers.
template <class R, class V>
void ActValFields(R& m, V&& visit) {
  visit(FieldInfo{"CurStrength", Field::CurStrength, {12, 6}}, m.ActVal[0]);
  visit(FieldInfo{"Addiction", Field::ActValSpare, {12, 6}}, m.ActVal[1]);
  visit(FieldInfo{"Spare", Field::ActValSpare, {12, 6}}, m.ActVal[2]);
  visit(FieldInfo{"DrunkCap", Field::ActValSpare, {7}}, m.ActVal[3]);
  visit(FieldInfo{"Drunkenness", Field::ActValSpare, {7}}, m.ActVal[4]);
  visit(FieldInfo{"TimeTillSober", Field::TimeTillSober, {7}}, m.ActVal[5]);
  visit(FieldInfo{"Pregnant", Field::Pregnant, {7}}, m.ActVal[6]);
  visit(FieldInfo{"BirthCountdown", Field::BirthCountdown, {7}}, m.ActVal[7]);
}

// The mouse's own single values; its motives, parameters, action values,
// genome and lists have lists of their own.
template <class R, class V>
void MouseFields(R& m, V&& visit) {
  visit(FieldInfo{"ID", Field::Id}, m.ID);
  visit(FieldInfo{"Age"}, m.Age);
  visit(FieldInfo{"Generation"}, m.Generation);
  visit(FieldInfo{"BirthTick"}, m.BirthTick);
  visit(FieldInfo{"MotherID"}, m.MotherID);
  visit(FieldInfo{"FatherID"}, m.FatherID);
  visit(FieldInfo{"EmbryoFatherID"}, m.EmbryoFatherID);
  visit(FieldInfo{"Children"}, m.Children);
  visit(FieldInfo{"DeathCause", Field::Count, {}, 5}, m.DeathCause);
  visit(FieldInfo{"Lineage"}, m.Lineage);
  visit(FieldInfo{"MovedForHelp"}, m.MovedForHelp);
  visit(FieldInfo{"GoalChanged"}, m.GoalChanged);
  visit(FieldInfo{"Smiling"}, m.Smiling);
  visit(FieldInfo{"Attacked"}, m.Attacked);
  visit(FieldInfo{"HasNextGoal"}, m.HasNextGoal);
  visit(FieldInfo{"Dying"}, m.Dying);
  visit(FieldInfo{"OnHelpMission"}, m.OnHelpMission);
  visit(FieldInfo{"Afraid"}, m.Afraid);
  visit(FieldInfo{"Dares"}, m.Dares);
  visit(FieldInfo{"CompAttack"}, m.CompAttack);
  visit(FieldInfo{"KeepConsuming"}, m.KeepConsuming);
  visit(FieldInfo{"HelpCry", Field::Count, {}, 5}, m.HelpCry);
  visit(FieldInfo{"SumWeights"}, m.SumWeights);
  visit(FieldInfo{"TotNeedStrength"}, m.TotNeedStrength);
  visit(FieldInfo{"PrevTotNeedStrength"}, m.PrevTotNeedStrength);
  visit(FieldInfo{"Heading"}, m.Heading);
  visit(FieldInfo{"Damage"}, m.Damage);
  visit(FieldInfo{"Jul"}, m.Jul);
  visit(FieldInfo{"Need", Field::Count, {}, need::Count}, m.Need);
  visit(FieldInfo{"Threat"}, m.Threat.value);
  visit(FieldInfo{"ThreatDirection"}, m.Threat.direction);
  visit(FieldInfo{"Support"}, m.Support.value);
  visit(FieldInfo{"SupportDirection"}, m.Support.direction);
  visit(FieldInfo{"Goal", Field::Count, {}, goal::Count}, m.Goal);
  visit(FieldInfo{"PrevGoal", Field::Count, {}, goal::Count}, m.PrevGoal);
  visit(FieldInfo{"Action", Field::Count, {}, action::Count}, m.Action);
  visit(FieldInfo{"LastAction", Field::Count, {}, action::Count}, m.LastAction);
  visit(FieldInfo{"Facing", Field::Count, {}, 8}, m.Facing);
  visit(FieldInfo{"x", Field::Position}, m.Position.x);
  visit(FieldInfo{"y", Field::Position}, m.Position.y);
  visit(FieldInfo{"StuckAtX", Field::Position}, m.StuckAt.x);
  visit(FieldInfo{"StuckAtY", Field::Position}, m.StuckAt.y);
  visit(FieldInfo{"Arousal"}, m.Arousal);
  visit(FieldInfo{"Inhib"}, m.Inhib);
}

// One goal kind's element of the goal memory: its kind, then what it does to
// each need.
template <class R, class V>
void GoalElementFields(R& el, V&& visit) {
  visit(FieldInfo{"GoalKind", Field::Count, {4}, goal::Count}, el.GoalKind);
  for (int i = 0; i < need::Count; ++i)
    visit(FieldInfo{NeedValueNames[i], Field::GoalNeedValue, {15, 5}}, el.Values[i]);
  visit(FieldInfo{"Expectation"}, el.Expectation);
}

// A remembered place without its links (the goal element it serves, the next
// place), which each store writes in its own way.
template <class R, class V>
void PlaceFields(R& p, V&& visit) {
  visit(FieldInfo{"x", Field::Position}, p.Pos.x);
  visit(FieldInfo{"y", Field::Position}, p.Pos.y);
  visit(FieldInfo{"Retention", Field::Retention}, p.Retention);
  visit(FieldInfo{"LastRecall", Field::LastRecall}, p.LastRecall);
  visit(FieldInfo{"NextIndex"}, p.NextIndex);
  visit(FieldInfo{"Progress", Field::Progress}, p.Progress);
  visit(FieldInfo{"Quality", Field::Quality}, p.Quality);
  visit(FieldInfo{"Sign"}, p.Sign);
}

// A relation entry, as a dump writes it (the other mouse's ID, then the values).
template <class R, class V>
void RelationFields(R& e, V&& visit) {
  visit(FieldInfo{"OtherID", Field::Count, {10}}, e.OtherID);
  visit(FieldInfo{"Friendship", Field::Friendship, {10, 4}}, e.Friendship);
  visit(FieldInfo{"Enmity", Field::Enmity, {10, 4}}, e.Enmity);
}

// A point of the track, as a dump writes it; goal and action are kept as
// read, whatever their value.
template <class R, class V>
void TrackPointFields(R& p, V&& visit) {
  visit(FieldInfo{"Goal", Field::Count, {6}, 256}, p.Goal);
  visit(FieldInfo{"X", Field::Position, {6}}, p.X);
  visit(FieldInfo{"Y", Field::Position, {6}}, p.Y);
  visit(FieldInfo{"Action", Field::Count, {6}, 256}, p.Action);
  visit(FieldInfo{"Vividness", Field::Vividness, {10, 5}}, p.Vividness);
}

}  // namespace murinex
