# Batch preparation and linking of TA units: every TA file in SRC through
# prep, each unit a job of its own, then link, joinwide and placewide, into
# OUT. make runs as many jobs side by side as -j allows:
#
#   PATH=<prefix>/bin:$PATH make -j8 -f drivers.mk SRC=<units> OUT=<results>
#
# For units u.ta it writes OUT/u.o.ta (prep's linkable file of the unit),
# OUT/linked.ls.ta (link of every OUT/u.o.ta), OUT/joined.ln.ta (joinwide of
# the same) and OUT/placed.ls.ta (placewide of OUT/joined.ln.ta). The drivers
# write fixed names in their working directory, and prep names its stage
# files after its input, so each job runs in a folder of its own:
# OUT/prep/u/, OUT/link/, OUT/joinwide/ and OUT/placewide/ keep the job's
# stage files and its log (the driver's standard output and error, shown when
# the driver fails). The drivers, their stages and twinfold come from the
# search path, and QUILLON_PATH or the installation locates the pipeline
# files; PREP, LINK, JOINWIDE and PLACEWIDE name other drivers by absolute
# path.
#
# A target takes its name only once its driver has succeeded: the driver
# writes its result whole or not at all under its own name in the job's
# folder, and the job then moves it to the target. Each job first empties its
# folder, so what a killed job left there (stage files, a set file, a
# driver's temporary) goes: a batch that is killed (make and its jobs at
# once, as a scheduler's kill takes them, which leaves make no time to delete
# anything), run again, ends with the files of a batch that was never killed.

SRC ?= .
OUT ?= out
PREP ?= prep
LINK ?= link
JOINWIDE ?= joinwide
PLACEWIDE ?= placewide

# Every unit in SRC, in order of name, but this file's own results where OUT
# is SRC.
UNITS := $(sort $(filter-out %.o linked.ls joined.ln placed.ls,$(basename $(notdir $(wildcard $(SRC)/*.ta)))))
PREPARED := $(UNITS:%=$(OUT)/%.o.ta)
# The prepared units as the linking jobs name them, from their folders.
LINKED := $(UNITS:%=../%.o.ta)

# A driver run in the job's folder $(1), its output and errors in its log
# $(2), shown when it fails.
run_in = cd $(1) && $(3) > $(2) 2>&1 || { cat $(2) >&2; exit 1; }

all: $(OUT)/linked.ls.ta $(OUT)/joined.ln.ta $(OUT)/placed.ls.ta

# prep reads the unit through a link in the job's folder, so that its stage
# files, named after its input, stay there.
$(OUT)/%.o.ta: $(SRC)/%.ta
	@rm -rf $(OUT)/prep/$* && mkdir -p $(OUT)/prep/$*
	@ln -s $(abspath $<) $(OUT)/prep/$*/$*.ta
	@$(call run_in,$(OUT)/prep/$*,prep.log,$(PREP) $*.ta)
	@mv -f $(OUT)/prep/$*/$*.o.ta $@

$(OUT)/linked.ls.ta: $(PREPARED)
	@rm -rf $(OUT)/link && mkdir -p $(OUT)/link
	@$(call run_in,$(OUT)/link,link.log,$(LINK) $(LINKED))
	@mv -f $(OUT)/link/out.ls.ta $@

$(OUT)/joined.ln.ta: $(PREPARED)
	@rm -rf $(OUT)/joinwide && mkdir -p $(OUT)/joinwide
	@$(call run_in,$(OUT)/joinwide,joinwide.log,$(JOINWIDE) $(LINKED))
	@mv -f $(OUT)/joinwide/out.ln.ta $@

$(OUT)/placed.ls.ta: $(OUT)/joined.ln.ta
	@rm -rf $(OUT)/placewide && mkdir -p $(OUT)/placewide
	@$(call run_in,$(OUT)/placewide,placewide.log,$(PLACEWIDE) ../joined.ln.ta)
	@mv -f $(OUT)/placewide/out.ls.ta $@

# A recipe that fails leaves no target of its own making; should a command
# added here write one in place, make deletes it.
.DELETE_ON_ERROR:

.PHONY: all
