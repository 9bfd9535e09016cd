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

SRC ?= .
OUT ?= out
TALVEXF ?= talvexf
GRAPHXML ?= graphxml

# Every unit in SRC, but this file's own results where OUT is SRC.
UNITS := $(filter-out %.ririra,$(basename $(notdir $(wildcard $(SRC)/*.gd))))

# A program that fails leaves its target partial or empty (graphxml stops
# with a partial document on standard output): make deletes it, or it would
# take it as up to date on the next run.
.DELETE_ON_ERROR:

# The Ririra graphs are named here so that make keeps them.
all: $(UNITS:%=$(OUT)/%.gxl) $(UNITS:%=$(OUT)/%.ririra.gd)

$(OUT)/%.ririra.gd: $(SRC)/%.gd | $(OUT)
	$(TALVEXF) $< $@ 2> $(OUT)/$*.log

$(OUT)/%.gxl: $(OUT)/%.ririra.gd
	$(GRAPHXML) $< > $@ 2>> $(OUT)/$*.log

$(OUT):
	mkdir -p $@

.PHONY: all
