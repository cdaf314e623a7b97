#!/usr/bin/env python3
"""Holds quorrel-gcode --estimate against the GRBL firmware's own clock, run in its host
simulator, for random GRBL jobs of every shape and strategy, holes and facings among them; and
holds every program to the firmware's answers: not one line answered with an error.

    python3 tests/grbl_firmware_check.py QUORREL_GCODE BUILD_DIR

The simulator's clock is trusted only once a calibration move reads as the textbook says: 10 mm
at F300 with GRBL's 10 mm/s^2 takes 2.50 s. Where it does not (a busy machine lets the simulated
stepper run dry), the check is skipped (exit 77) and says what the clock read.
"""
import random
import subprocess
import sys
from pathlib import Path

TOOL, BUILD = sys.argv[1], Path(sys.argv[2])
SIMULATOR = BUILD / "grbl-sim" / "grbl_sim.exe"
JOBS = 150  # about 85 of them holes and facings


def firmware_run(program: str):
    """The simulator's clock at the end of the program (the time of its last reported step), and
    the firmware's answers that are errors."""
    steps = BUILD / "grbl-sim" / "steps.out"
    answers = subprocess.run([str(SIMULATOR), "-n", "-r", "0.01", "-s", str(steps)],
                             input=program.encode(), capture_output=True, timeout=3600,
                             check=False).stdout.decode(errors="replace")
    last = steps.read_text().strip().splitlines()[-1]
    errors = [line for line in answers.splitlines() if line.startswith("error")]
    return float(last.split()[0]), errors


def firmware_seconds(program: str) -> float:
    return firmware_run(program)[0]


def estimate(arguments) -> float:
    line = subprocess.run([TOOL, *arguments, "--estimate"], capture_output=True, text=True,
                          check=True).stdout
    return float(line.split()[2])


def random_drilling_or_facing(rng: random.Random, shape: str):
    tool = round(rng.uniform(0.5, 3.0), 3)
    job = [f"--shape={shape}", f"--tool-radius={tool}", "--dialect=grbl", "--units=mm",
           f"--feed={rng.choice([100, 300, 800])}"]
    if shape == "face":
        job += [f"--width={round(rng.uniform(10, 60), 3)}",
                f"--height={round(rng.uniform(10, 40), 3)}",
                f"--depth=-{round(rng.uniform(0.2, 2), 3)}"]
        if rng.random() < 0.5:
            job.append(f"--step-down={round(rng.uniform(0.2, 1), 3)}")
        if rng.random() < 0.5:
            job.append(f"--direction={rng.choice(['climb', 'conventional'])}")
        return job
    depth = round(rng.uniform(1, 12), 3)
    job.append(f"--depth=-{depth}")
    if shape == "bolt-circle":
        job += [f"--holes={rng.randint(1, 8)}", f"--radius={round(rng.uniform(12, 40), 3)}",
                f"--start-angle={round(rng.uniform(0, 90), 1)}"]
    elif shape == "hole-grid":
        job += [f"--columns={rng.randint(1, 4)}", f"--rows={rng.randint(1, 3)}",
                f"--width={round(rng.uniform(30, 60), 3)}",
                f"--height={round(rng.uniform(20, 40), 3)}"]
    if rng.random() < 0.5:
        job.append(f"--peck={round(rng.uniform(0.3, depth), 3)}")
        if rng.random() < 0.5:
            job.append("--chip-break")
    elif rng.random() < 0.5:
        job.append(f"--dwell={round(rng.uniform(0.1, 2), 3)}")
    return job


def random_job(rng: random.Random):
    shape = rng.choice(["rectangle", "circle", "rounded-rectangle", "hole", "bolt-circle",
                        "hole-grid", "face"])
    if shape in ("hole", "bolt-circle", "hole-grid", "face"):
        return random_drilling_or_facing(rng, shape)
    fill = rng.random() < 0.5
    tool = round(rng.uniform(0.5, 2.0), 3)
    size = round(rng.uniform(8 * tool, 40), 3)
    job = [f"--shape={shape}", f"--tool-radius={tool}", f"--depth=-{round(rng.uniform(1, 6), 3)}",
           "--dialect=grbl", "--units=mm", f"--feed={rng.choice([300, 500, 800])}"]
    job += [f"--radius={round(size / 2, 3)}"] if shape == "circle" else [
        f"--width={size}", f"--height={round(size * rng.uniform(0.6, 1.0), 3)}"]
    if shape == "rounded-rectangle":
        job.append(f"--radius={round(rng.uniform(0.5, size / 4), 3)}")
    if fill:
        job.append("--fill")
    elif rng.random() < 0.5:
        job += ["--side=outside", f"--tabs={rng.randint(1, 4)}"]
    if rng.random() < 0.6:
        job.append(f"--step-down={round(rng.uniform(0.5, 2.5), 3)}")
    if rng.random() < 0.4:
        job.append("--entry=ramp")
    if not fill and rng.random() < 0.3:
        job.append(f"--finish={round(tool / 4, 3)}")
    return job


def main():
    if not SIMULATOR.exists():
        print("skipped: no GRBL simulator was built")
        return 77
    calibration = firmware_seconds("G21 G90 G94\nG1 X10 F300\n")
    if abs(calibration - 2.5) > 0.025:
        print(f"skipped: the simulator's clock read {calibration:.3f} s for a move of 2.50 s")
        return 77
    rng = random.Random(28)
    errors = []
    for _ in range(JOBS):
        job = random_job(rng)
        program = subprocess.run([TOOL, *job], capture_output=True, text=True).stdout
        if not program:
            continue  # a job the tool refuses
        firmware, refused = firmware_run(program)
        if refused:
            print(f"the firmware answered {refused[0]}: {' '.join(job)}")
            return 1
        ours = estimate(job)
        error = abs(ours - firmware) / firmware
        errors.append(error)
        print(f"{ours:10.1f} s estimated, {firmware:10.1f} s by the firmware, "
              f"{100 * error:5.2f} %: {' '.join(job)}")
    errors.sort()
    print(f"{len(errors)} jobs: worst {100 * errors[-1]:.2f} %, "
          f"median {100 * errors[len(errors) // 2]:.2f} %")
    return 0 if errors and errors[-1] <= 0.02 else 1


if __name__ == "__main__":
    sys.exit(main())
