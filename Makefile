# The two commands a new user needs: `make run` and `make test`.
PRESET ?= dev
# The programs `make run` starts are optimized; the Debug build is for `make test`.
RUN_PRESET ?= release

.PHONY: run test build deps sanitize

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

# All tests, then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and the thread tests under ThreadSanitizer: the core
# thread, the BIOS loader, the simulator's run control and window (its run, its resets
# and its close), and the builds that write object files and listings on a second
# thread.
test: build
	ctest --preset $(PRESET)
	$(MAKE) --no-print-directory sanitize

sanitize: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset tsan
	cmake --build --preset tsan --target machine_tests simulator_tests toolchain_tests kelmoc
	ctest --preset tsan -R 'ThreadedCore|BiosLoader|RunControl|MainWindowTest|BuildFiles|Link\.|Driver|Kelmoc'

run: deps
	cmake --preset $(RUN_PRESET)
	cmake --build --preset $(RUN_PRESET) --target TALVOSim kelmo kelmoc talvorun
	@bash scripts/run.sh build/$(RUN_PRESET)
