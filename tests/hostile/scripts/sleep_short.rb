sleep 0.01
puts ARGV.reverse
