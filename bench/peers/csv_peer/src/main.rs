//! csv_peer FILE [N]
//!
//! Reads FILE N times (default 1): its bytes, decoded from Shift_JIS as the
//! Encoding Standard defines it (Windows' CP932 table) by encoding_rs, split
//! into records and fields by the csv crate (no header row, records of any
//! length). For each repetition prints one line:
//!
//!     <CPU milliseconds> <records> <fields>
//!
//! The time is this process's CPU time, so the program's start is not
//! counted and other work on the machine does not count either.

use std::process::ExitCode;

#[repr(C)]
struct Timespec {
    tv_sec: i64,
    tv_nsec: i64,
}

extern "C" {
    fn clock_gettime(clock: i32, tp: *mut Timespec) -> i32;
}

const CLOCK_PROCESS_CPUTIME_ID: i32 = 2;

fn cpu_ms() -> f64 {
    let mut t = Timespec { tv_sec: 0, tv_nsec: 0 };
    // SAFETY: t is a valid timespec for the call to fill.
    unsafe {
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &mut t);
    }
    t.tv_sec as f64 * 1e3 + t.tv_nsec as f64 / 1e6
}

fn read_once(path: &str) -> Result<(u64, u64), String> {
    let bytes = std::fs::read(path).map_err(|e| format!("{path}: {e}"))?;
    let (text, _, _) = encoding_rs::SHIFT_JIS.decode(&bytes);
    let mut reader = csv::ReaderBuilder::new()
        .has_headers(false)
        .flexible(true)
        .from_reader(text.as_bytes());
    let mut record = csv::StringRecord::new();
    let (mut records, mut fields) = (0u64, 0u64);
    while reader
        .read_record(&mut record)
        .map_err(|e| format!("{path}: {e}"))?
    {
        records += 1;
        fields += record.len() as u64;
    }
    Ok((records, fields))
}

fn main() -> ExitCode {
    let args: Vec<String> = std::env::args().collect();
    if args.len() < 2 || args.len() > 3 {
        eprintln!("usage: csv_peer FILE [N]");
        return ExitCode::from(2);
    }
    let repetitions: u32 = match args.get(2).map(|n| n.parse()) {
        None => 1,
        Some(Ok(n)) if n > 0 => n,
        Some(_) => {
            eprintln!("csv_peer: N must be a positive number");
            return ExitCode::from(2);
        }
    };
    for _ in 0..repetitions {
        let start = cpu_ms();
        match read_once(&args[1]) {
            Ok((records, fields)) => println!("{:.3} {} {}", cpu_ms() - start, records, fields),
            Err(e) => {
                eprintln!("csv_peer: {e}");
                return ExitCode::from(1);
            }
        }
    }
    ExitCode::SUCCESS
}
