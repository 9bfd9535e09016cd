# Batch translation: every gd graph file in SRC through talvexf, then
# graphxml, into OUT. Each unit is a job of its own, so make runs as many side
# by side as -j allows:
#
#   PATH=<prefix>/bin:$PATH make -j8 -f batch.mk SRC=<units> OUT=<results>
#
# For a unit u.gd it writes OUT/u.ririra.gd (the Ririra graph), OUT/u.gxl (its
# GXL document) and OUT/u.log (the standard error of both programs: talvexf's
# progress lines, one per filter step, would interleave on one shared standard
# error). talvexf and graphxml come from the search path unless
# TALVEXF and GRAPHXML name them.
#
# A target takes its name only once its program has succeeded, so a batch
# that is killed (make and its jobs at once, as a scheduler's kill takes them,
# which leaves make no time to delete anything) leaves no partial target that
# the next run would take as up to date: talvexf writes its graph whole or not
# at all by itself, and graphxml's document goes to OUT/u.gxl.part until
# graphxml has succeeded. The next run makes what is missing, and each job
# first removes what a killed one left: u.gxl.part, or talvexf's temporary
# OUT/.u.ririra.gd.tmp.XXXXXX. A killed batch, run again, ends with the files
# of a batch that was never killed.

SRC ?= .
OUT ?= out
TALVEXF ?= talvexf
GRAPHXML ?= graphxml

# Every unit in SRC, but this file's own results where OUT is SRC.
UNITS := $(filter-out %.ririra,$(basename $(notdir $(wildcard $(SRC)/*.gd))))

# A recipe that fails leaves no target of its own making; should a command
# added here write one in place, make deletes it.
.DELETE_ON_ERROR:

# The Ririra graphs are named here so that make keeps them.
all: $(UNITS:%=$(OUT)/%.gxl) $(UNITS:%=$(OUT)/%.ririra.gd)

$(OUT)/%.ririra.gd: $(SRC)/%.gd | $(OUT)
	@rm -f $(OUT)/.$*.ririra.gd.tmp.??????
	$(TALVEXF) $< $@ 2> $(OUT)/$*.log

# graphxml's standard error joins the log only once it has ended, so that a
# job killed mid-document adds nothing to the log that its rerun adds again.
$(OUT)/%.gxl: $(OUT)/%.ririra.gd
	@rm -f $@.part $@.err
	$(GRAPHXML) $< > $@.part 2> $@.err; status=$$?; cat $@.err >> $(OUT)/$*.log; rm -f $@.err; \
	if [ $$status -eq 0 ]; then mv -f $@.part $@; else rm -f $@.part; exit $$status; fi

$(OUT):
	mkdir -p $@

.PHONY: all
