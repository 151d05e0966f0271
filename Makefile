# The two commands a new user needs: `make run` and `make test`.
PRESET ?= dev

.PHONY: run test build deps

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

run: build
	@bash scripts/run.sh build/$(PRESET)
