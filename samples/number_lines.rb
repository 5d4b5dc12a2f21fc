# Puts a right-aligned line number in front of every line.
width = ARGV.size.to_s.size
ARGV.each_with_index { |line, i| puts "#{(i + 1).to_s.rjust(width)}: #{line}" }
