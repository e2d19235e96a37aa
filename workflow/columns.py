"""Words for the statistics columns and the --set names, for axis labels and legends.

"per mouse-tick" means: the interval's sum divided by (living mice at the row) x the ticks of the
interval (100 unless model.StatisticsInterval says otherwise); "per interval": the interval's sum
over the whole population. docs/outputs.md explains every column in full; a test
(tests/workflow/columns_agree_test.py) keeps the columns and their kinds the same in both.
"""

import re

COLUMNS = {
    "Learn": "places and route points learnt, per mouse-tick x 10",
    "PlanSteps": "detour steps found by plan searches, per mouse-tick",
    "SuccessfulPlan": "plan searches that found a free step, per mouse-tick",
    "Arousal": "mean arousal of the living mice (0..1)",
    "Inhib": "mean inhibition of the living mice",
    "MotCh": "changes of intention at goal choice, per mouse-tick",
    "OppCh": "changes of intention by opportunity, per mouse-tick",
    "Mausnotseen": "share of near mice overlooked, per mouse-tick",
    "DangerNotSeen": "remembered dangers overlooked, per mouse-tick",
    "HelpMission": "mouse-ticks on a help mission, share",
    "HelpAggress": "bites for a friend, per mouse-tick",
    "BiteFriend": "bites of a friend, per mouse-tick",
    "Threat": "perceived threat, mean per mouse-tick",
    "Support": "perceived support, mean per mouse-tick",
    "Fear": "fear felt, count per interval (whole population)",
    "ThreatFlight": "flights from fear, per mouse-tick",
    "NoNeed": "deviation of the empty need (always 0)",
    "Hung": "hunger deviation (Soll - Ist), mean per mouse-tick",
    "Thir": "thirst deviation (Soll - Ist), mean per mouse-tick",
    "Pain": "pain deviation (Soll - Ist), mean per mouse-tick",
    "Sex": "sex deviation (Soll - Ist), mean per mouse-tick",
    "Affil": "affiliation deviation (Soll - Ist), mean per mouse-tick",
    "Cert": "certainty deviation (Soll - Ist), mean per mouse-tick",
    "Comp": "competence deviation (Soll - Ist), mean per mouse-tick",
    "NoGoal": "share of mouse-ticks without a goal",
    "GSand": "mouse-ticks with goal sand, count per interval",
    "GFood": "share of mouse-ticks with goal food",
    "GWater": "share of mouse-ticks with goal water",
    "GJuli": "share of mouse-ticks with goal Vorarazav",
    "GStones": "mouse-ticks with goal stones, count per interval",
    "GHerbs": "share of mouse-ticks with goal healing herbs",
    "GInfo": "share of mouse-ticks with goal friend",
    "GLegSign": "share of mouse-ticks with goal help request",
    "GSupportSign": "share of mouse-ticks with goal uncertainty",
    "GCompSign": "share of mouse-ticks with goal barrier",
    "NMaus": "living mice, count at the row",
    "Age": "mean age of the living mice (ticks)",
    "Deathrate": "deaths per mouse-tick",
    "Birthrate": "births per mouse-tick",
    "LifeLength": "mean age at death in the interval (ticks)",
    "RelFriends": "friendship summed over relations, mean of the living mice",
    "RelEnemies": "enmity summed over relations, mean of the living mice",
    "EnToFrin": "enmity / friendship, ratio",
    "GiveUp": "goals given up, per mouse-tick",
    "NoAct": "share of mouse-ticks without an action",
    "Move": "share of mouse-ticks moving",
    "Explore": "share of mouse-ticks exploring",
    "Flight": "share of mouse-ticks fleeing",
    "Bite": "share of mouse-ticks biting",
    "Hold": "share of mouse-ticks holding ground",
    "Feed": "share of mouse-ticks eating",
    "Drink": "share of mouse-ticks drinking",
    "Cure": "share of mouse-ticks healing",
    "Smile": "share of mouse-ticks smiling",
    "Plan": "planning ticks and blocked plan steps, per mouse-tick",
    "Sleep": "share of mouse-ticks sleeping",
    "Drunken": "caring ticks and Vorarazav drinks, per mouse-tick",
    "Care": "always 0",
    "MDensity": "always 0",
    "MVarDens": "always 0",
    "DHunger": "deaths from hunger, per mouse-tick",
    "DThirst": "deaths from thirst, per mouse-tick",
    "DPain": "deaths from pain, per mouse-tick",
    "DAge": "deaths from age, per mouse-tick",
    "Strength": "mean current strength per mouse-tick",
    "CareHunger": "food given to others, per mouse-tick",
    "CareThirst": "water given to others, per mouse-tick",
    "CarePain": "care given to others, per mouse-tick",
}

KINDS = {"Sand": "sand", "Food": "food", "Water": "water", "Vorarazav": "Vorarazav",
         "Stones": "stone", "HealingHerbs": "healing herb"}
NEEDS = {"NoNeed": "the empty need", "Hunger": "hunger", "Thirst": "thirst", "Pain": "pain",
         "Sex": "sex", "Affil": "affiliation", "Cert": "certainty", "Comp": "competence"}
SETTINGS = {"LifeSpan": "life span (ticks)", "DeathAge": "death age (ticks)",
            "DeathProbability": "death probability per tick beyond the death age",
            "MutationRate": "mutation rate per gene",
            "model.MatingAge": "age needed for mating (ticks)",
            "model.MatingChance": "chance that a contact conceives",
            "model.PregnancyLength": "pregnancy length (ticks)",
            "model.StatisticsInterval": "ticks between statistics rows",
            "model.DumpInterval": "ticks between dumps"}


def words(camel):
    """'RateReinforce' -> 'rate reinforce', 'Carefactor' -> 'care factor'."""
    if camel == "Carefactor":
        return "care factor"
    return re.sub(r"(?<=[a-z])(?=[A-Z])", " ", camel).lower()


def factor_words(name):
    """A --set name in words, e.g. world.Food.Growth -> 'food patch growth per tick'."""
    parts = name.split(".")
    if parts[0] == "world" and len(parts) == 3:
        what = {"Growth": "growth per tick", "Decay": "decay per tick", "Level": "level at start"}
        return f"{KINDS.get(parts[1], parts[1])} patch {what.get(parts[2], parts[2])}"
    if parts[0] == "mice" and len(parts) == 2:
        return f"{words(parts[1])} of every mouse"
    if parts[0] == "mice" and len(parts) == 3:
        what = {"Weight": "weight", "BasMeta": "basal metabolism (per s)"}
        return f"{NEEDS.get(parts[1], parts[1])} {what.get(parts[2], parts[2])} of every mouse"
    if name in SETTINGS:
        return SETTINGS[name]
    if parts[0] == "GoalNeedMatrix" and len(parts) == 3:
        return f"how much goal {words(parts[1])} serves {NEEDS.get(parts[2], parts[2])}"
    if parts[0] == "ActionSettings" and len(parts) == 3:
        return f"{parts[2]} cost of action {words(parts[1])}"
    if len(parts) == 3:
        column = {"min": "minimum", "max": "maximum", "scale": "mutation scale"}
        table = {"PersonRanges": "gene", "MotWeightRanges": "weight gene",
                 "ReserveRanges": "reserve gene", "BasalMetaBolRanges": "metabolism gene"}
        return f"{words(parts[1])} {table.get(parts[0], parts[0])} {column.get(parts[2], parts[2])}"
    return name


def condition_words(assignments):
    """'food patch growth per tick = 0.005, care factor of every mouse = 0.8'."""
    if not assignments:
        return "base run"
    return ", ".join(f"{factor_words(n)} = {v}" for n, v in assignments)
